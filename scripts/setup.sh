# Sourced by ./play and ./test: installs the Debian packages the build and tests need when
# any is missing (apt-get, as root or through sudo), then configures and builds into build/.
FIGHT_PACKAGES="cmake g++ pkg-config make libsdl1.2-dev libsdl-image1.2-dev libsdl-ttf2.0-dev
  libsdl-mixer1.2-dev libsdl-gfx1.2-dev libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri
  libpng-dev libvorbis-dev libogg-dev libgtest-dev fonts-dejavu-core fonts-cardo
  fonts-blankenburg xvfb xauth xdotool imagemagick
  clang libclang-rt-14-dev valgrind"

fight_install_packages() {
  local missing=""
  for p in $FIGHT_PACKAGES "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
  done
  [ -z "$missing" ] && return 0
  echo "Installing:$missing"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  # shellcheck disable=SC2086
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
}

fight_build() { # build-folder [cmake options...]
  local dir="$1"; shift
  cmake -S "$FIGHT_TOP" -B "$dir" "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)"
}

# Runs a command with a private Xvfb display (Mesa's software OpenGL). Xvfb picks a free
# display number itself, so several runs on one machine never share or steal a server;
# -noreset keeps it from resetting (and refusing connections) each time its last client goes.
fight_with_xvfb() {
  local fdfile; fdfile="$(mktemp)"
  Xvfb -displayfd 3 -screen 0 1024x768x24 +extension GLX -nolisten tcp -noreset 3>"$fdfile" 2>/dev/null &
  local xpid=$!
  local n=""
  for _ in $(seq 1 100); do
    n="$(tr -d '\n' < "$fdfile")"
    [ -n "$n" ] && break
    sleep 0.1
  done
  rm -f "$fdfile"
  if [ -z "$n" ]; then echo "Xvfb did not start" >&2; kill "$xpid" 2>/dev/null; return 1; fi
  local rc=0
  DISPLAY=":$n" "$@" || rc=$?
  kill "$xpid" 2>/dev/null; wait "$xpid" 2>/dev/null || true
  return $rc
}
