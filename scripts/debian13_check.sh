#!/usr/bin/env bash
# scripts/debian13_check.sh [--keep] [root-folder]: the check on a fresh Debian 13 system, as a
# new user would meet it. Makes a minimal Debian 13 (trixie) root with debootstrap (default
# folder /var/tmp/marrowlark-trixie, made anew each time), copies the committed tree (git HEAD)
# into it, and inside it through chroot runs `./play fightdemo` with SDL's dummy video and
# audio drivers (one whole match) and then `./test`. --keep reuses a root left by an earlier
# run (its packages installed) and runs only `./test` on a fresh copy of the tree. Prints how
# long each step took; exits non-zero when any step fails. Needs root, debootstrap and a
# reachable Debian mirror; not part of ./test.
set -euo pipefail
{ # read whole before it runs, so editing the file meanwhile changes nothing
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
keep=0
[ "${1:-}" = --keep ] && { keep=1; shift; }
root="${1:-/var/tmp/marrowlark-trixie}"
mirror="${DEBIAN_MIRROR:-http://deb.debian.org/debian}"
[ "$(id -u)" -eq 0 ] || { echo "debian13_check.sh must run as root (debootstrap, chroot)" >&2; exit 2; }
command -v debootstrap >/dev/null || apt-get install -y -qq debootstrap
if ! timeout 20 bash -c "exec 3<>/dev/tcp/$(echo "$mirror" | sed -E 's#^[a-z]+://([^/:]+).*#\1#')/80" 2>/dev/null; then
  echo "The mirror $mirror cannot be reached; set DEBIAN_MIRROR to one that can." >&2
  exit 2
fi

mounted=()
cleanup() {
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[$i]}" 2>/dev/null || true; done
}
trap cleanup EXIT
mount_in() { # mount arguments... target (inside the root)
  local target="${*: -1}"
  mkdir -p "$target"
  mount "$@"
  mounted+=("$target")
}
step() { # name command...: runs one step and reports its duration
  local name="$1"; shift
  local t0=$SECONDS rc=0
  echo "== $name"
  "$@" || rc=$?
  echo "== $name: $([ $rc -eq 0 ] && echo passed || echo "failed ($rc)") after $((SECONDS - t0)) s"
  return $rc
}

# A folder left from an earlier run: make sure nothing of the host is still mounted in it.
for m in dev/pts dev/shm dev proc sys; do umount -l "$root/$m" 2>/dev/null || true; done
if [ $keep -eq 0 ] || [ ! -e "$root/etc/debian_version" ]; then
  keep=0
  rm -rf --one-file-system "$root"
  quietly() { "$@" >/dev/null; }
  step "debootstrap --variant=minbase trixie" quietly debootstrap --variant=minbase trixie "$root" "$mirror"
fi

rm -rf "$root/root/marrowlark"
mkdir -p "$root/root/marrowlark"
git -C "$top" archive HEAD | tar -x -C "$root/root/marrowlark"
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount_in -t proc proc "$root/proc"
mount_in -t sysfs sysfs "$root/sys"
mount_in --bind /dev "$root/dev"
mount_in --bind /dev/pts "$root/dev/pts"
mount_in -t tmpfs tmpfs "$root/dev/shm"

inside() { chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 "$@"; }
status=0
if [ $keep -eq 0 ]; then
  step "./play fightdemo (dummy video and audio)" inside SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
    bash -c 'cd /root/marrowlark && timeout 3600 ./play fightdemo > /root/play.log 2>&1' || status=1
  grep -E "^(Linked SDL|Loop finished|Done$)" "$root/root/play.log" | sort | uniq -c || true
fi
step "./test" inside bash -c 'cd /root/marrowlark && ./test > /root/test.log 2>&1' || status=1
tail -n 30 "$root/root/test.log"
echo "Logs: $root/root/play.log and $root/root/test.log"
exit $status
}
