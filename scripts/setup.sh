# Sourced by ./play and ./test: installs the Debian packages the build (and, for ./test, the
# tests) need when any is missing (apt-get, as root or through sudo), then configures and
# builds into build/. Debian 12 (bookworm) and Debian 13 (trixie) are supported; on another
# system the packages are looked up all the same and any the system does not offer are named
# before anything is installed.

# What the game needs to build and run: compiler, CMake, the SDL 1.2 family, OpenGL and GLU, Xlib,
# libpng, Ogg Vorbis, ENet (network play) and the fonts the media are made from.
FIGHT_PACKAGES="cmake g++ pkg-config make libsdl1.2-dev libsdl-image1.2-dev libsdl-ttf2.0-dev
  libsdl-mixer1.2-dev libsdl-gfx1.2-dev libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri libx11-dev
  libpng-dev libvorbis-dev libogg-dev libenet-dev fonts-dejavu-core fonts-cardo fonts-blankenburg"
# What ./test adds: GoogleTest, the X server and tools the end-to-end tests drive and look
# through, clang with its runtime for the fuzzers (named after the release's clang, see
# fight_resolve), valgrind, and SDL 2 for the run against sdl12-compat.
FIGHT_TEST_PACKAGES="libgtest-dev xvfb xauth xdotool x11-utils imagemagick clang
  libclang-rt-@CLANG@-dev valgrind libsdl2-2.0-0"

fight_release() { # "Debian GNU/Linux 13 (trixie)" or whatever the system calls itself
  ( . /etc/os-release 2>/dev/null && echo "${PRETTY_NAME:-$ID $VERSION_ID}" ) || echo "an unknown system"
}

# The clang major version the release's plain "clang" package brings (14 on Debian 12, 19 on
# Debian 13), from the installed package or else from the package lists; empty if neither knows.
fight_clang_major() {
  local deps
  deps="$(dpkg-query -W -f='${Depends}' clang 2>/dev/null || true)"
  [ -z "$deps" ] && deps="$(apt-cache depends clang 2>/dev/null | sed -n 's/^ *Depends: //p' || true)"
  echo "$deps" | grep -oE 'clang-[0-9]+' | head -1 | cut -d- -f2 || true
}

# Prints the package names with versioned ones filled in; @CLANG@ unresolved stays as it is.
fight_resolve() {
  local major; major="$(fight_clang_major)"
  local p
  for p in "$@"; do
    [ -n "$major" ] && p="${p//@CLANG@/$major}"
    echo "$p"
  done
}

fight_installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

# fight_install_packages [test]: the game's packages, and with "test" the tests' as well.
fight_install_packages() {
  local wanted="$FIGHT_PACKAGES"
  [ "${1:-}" = test ] && wanted="$wanted $FIGHT_TEST_PACKAGES"
  local missing="" p
  # shellcheck disable=SC2086
  for p in $(fight_resolve $wanted); do
    fight_installed "$p" || missing="$missing $p"
  done
  [ -z "$missing" ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  # Now that the package lists are current: fill in versioned names and check that the
  # release offers every package before installing any.
  local resolved="" unknown=""
  # shellcheck disable=SC2086
  for p in $(fight_resolve $missing); do
    if [[ "$p" == *@* ]] || [ -z "$(apt-cache policy "$p" 2>/dev/null | sed -n 's/^ *Candidate: //p' | grep -v '(none)')" ]; then
      unknown="$unknown ${p//@CLANG@/<clang version>}"
    else
      resolved="$resolved $p"
    fi
  done
  if [ -n "$unknown" ]; then
    echo "This system ($(fight_release)) offers no package named:$unknown" >&2
    echo "Supported are Debian 12 (bookworm) and Debian 13 (trixie); elsewhere install the" >&2
    echo "equivalents of these by hand and run this again." >&2
    return 1
  fi
  echo "Installing:$resolved"
  # shellcheck disable=SC2086
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $resolved
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

# True when the installed SDL 1.2 is the classic library (Debian 12's libsdl1.2debian); false
# when it already is sdl12-compat, the SDL 1.2 interface over SDL 2 (Debian 13).
fight_sdl_is_classic() {
  [ "$(dpkg-query -W -f='${source:Package}' libsdl1.2-dev 2>/dev/null || true)" = libsdl1.2 ]
}

# fight_sdl12_compat build-folder: where the classic library is installed, fetches Debian's
# sdl12-compat runtime (libsdl1.2-compat) with `apt-get download`, unpacks it into
# build-folder/sdl12-compat/ (nothing is installed or replaced) and prints the folder that
# holds its libSDL-1.2.so.0, for LD_LIBRARY_PATH; SDL_image, SDL_ttf, SDL_mixer and SDL_gfx
# then run on it too. Prints nothing where the installed library already is sdl12-compat.
fight_sdl12_compat() {
  fight_sdl_is_classic || return 0
  local dir; dir="$(mkdir -p "$1/sdl12-compat" && cd "$1/sdl12-compat" && pwd)"
  local lib
  lib="$(find "$dir/root" -name libSDL-1.2.so.0 -printf '%h\n' 2>/dev/null | head -1 || true)"
  if [ -z "$lib" ]; then
    mkdir -p "$dir/deb"
    rm -f "$dir"/deb/*.deb
    # apt-get download asks the package lists; they may never have been fetched here.
    if ! (cd "$dir/deb" && apt-get download -qq libsdl1.2-compat 2>/dev/null); then
      local sudo=""
      [ "$(id -u)" -ne 0 ] && sudo="sudo"
      $sudo apt-get update -qq
      (cd "$dir/deb" && apt-get download -qq libsdl1.2-compat 2>/dev/null) || {
        echo "Could not fetch libsdl1.2-compat with apt-get download" >&2; return 1; }
    fi
    rm -rf "$dir/root"
    dpkg-deb -x "$dir"/deb/libsdl1.2-compat_*.deb "$dir/root"
    lib="$(find "$dir/root" -name libSDL-1.2.so.0 -printf '%h\n' | head -1)"
  fi
  [ -n "$lib" ] || { echo "libsdl1.2-compat holds no libSDL-1.2.so.0" >&2; return 1; }
  echo "$lib"
}
