# Shared by scripts/run, scripts/test, scripts/package and scripts/bench:
# installs what Vexlume needs on a Debian 12, 13 or testing machine, builds it,
# and starts a virtual X server when asked.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build_dir=${VEXLUME_BUILD_DIR:-$root/build}

# Only names that every supported release carries: versioned names such as a
# clang runtime for one LLVM release exist on one release only. Some may be
# virtual on a release (on testing, libsdl1.2-dev provides
# libsdl1.2-compat-dev); install_packages accepts them.
# What building and playing the game need.
game_packages=(
  build-essential cmake pkg-config
  libsdl1.2-compat-dev libsdl1.2-compat-shim
  libsdl-image1.2-dev libsdl-ttf2.0-dev libsdl-mixer1.2-dev
  libgl-dev libgl1-mesa-dri libpng-dev libx11-dev
  x11-utils
)
# A virtual X server, keys and screenshots, for a machine without a display.
virtual_display_packages=(xvfb xauth xdotool x11-apps python3)
# What making the Debian package adds: CPack runs file on every installed
# program, and dpkg-shlibdeps (from dpkg-dev) works out the library
# dependencies.
package_packages=(dpkg-dev file)
# What the tests, the sanitizer and fuzzer runs and the benchmarks add.
test_packages=(
  "${game_packages[@]}" "${virtual_display_packages[@]}"
  libgtest-dev libgmock-dev libbenchmark-dev
  libxtst-dev openbox
  strace mesa-utils procps
  clang libclang-rt-dev
  desktop-file-utils appstream dpkg-dev lintian groff-base man-db file
)

# sudo, for a user other than root.
as_root() {
  [ "$(id -u)" -eq 0 ] || echo sudo
}

# Reads the package lists anew, once a run.
refresh_package_lists() {
  if [ -z "${apt_lists_fresh:-}" ]; then
    $(as_root) apt-get update -q
    apt_lists_fresh=1
  fi
}

# Installs those of the packages named that are missing, so a second run
# does nothing here. A name counts as there when a package of that name is
# installed, or an installed package provides it: apt installs a virtual
# name's provider, and asking dpkg for the name itself would never find it.
install_packages() {
  local missing=()
  local package
  local present
  present=$(dpkg-query -W -f='${db:Status-Abbrev} ${Package}, ${Provides}\n' 2>/dev/null |
    awk '$1 == "ii" { sub(/^[^ ]+ +/, ""); n = split($0, names, /, */)
      for (i = 1; i <= n; i++) { sub(/ .*/, "", names[i]); sub(/:.*/, "", names[i]); if (names[i] != "") print names[i] } }')
  for package in "$@"; do
    grep -qxF "$package" <<<"$present" || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  refresh_package_lists
  DEBIAN_FRONTEND=noninteractive $(as_root) apt-get install -y -q "${missing[@]}"
}

# Whether the package named is installed or this release offers it, read
# from fresh package lists.
package_available() {
  dpkg-query -W -f='${db:Status-Abbrev}' "$1" 2>/dev/null | grep -q '^ii' && return 0
  refresh_package_lists >/dev/null
  local candidate
  candidate=$(apt-cache policy "$1" 2>/dev/null | awk '$1 == "Candidate:" { print $2 }')
  [ -n "$candidate" ] && [ "$candidate" != "(none)" ]
}

# Configures once and builds what changed: everything, or the targets named.
# Options given in build_options are applied even to an existing build
# directory, so that one made without the tests gains them when asked.
build_options=()
build() {
  if [ ! -f "$build_dir/CMakeCache.txt" ] || [ ${#build_options[@]} -gt 0 ]; then
    cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${build_options[@]}"
  fi
  local targets=()
  local target
  for target in "$@"; do targets+=(--target "$target"); done
  cmake --build "$build_dir" -j"$(nproc)" "${targets[@]}"
}

# The emulator this machine's programs run under, when the kernel hands
# them to one because they are of another architecture (qemu-user through
# binfmt_misc, as for an arm64 root on a PC); empty on real hardware. The
# emulator hides itself from the program it runs, but not from others: a
# child reads it as this shell's executable.
emulator() {
  local exe
  exe=$(readlink "/proc/$$/exe" 2>/dev/null) || return 0
  if [[ ${exe##*/} == qemu-* || $exe == */qemu-binfmt/* ]]; then
    echo "$exe"
  fi
}

# The game's screen size, read from the constants the game itself is built
# with, so that it is written in one place.
screen_size() {
  local name value size=
  for name in ScreenWidth ScreenHeight; do
    value=$(sed -n "s/^ *const int $name *= *\([0-9][0-9]*\) *;.*/\1/p" "$root/src/Scene.h")
    [[ $value =~ ^[0-9]+$ ]] || { echo "No single $name in $root/src/Scene.h" >&2; return 1; }
    size+=${size:+x}$value
  done
  echo "$size"
}

# Starts Xvfb with GLX at the game's own screen size on a free display and
# exports DISPLAY; the server is stopped when the calling script exits. Xvfb
# picks the display number itself (-displayfd): a lock file left in /tmp
# tells it nothing about a server of another root or container that shares
# this machine's abstract X sockets, and binding the socket does. It is left
# to reset whenever its last client leaves (no -noreset), so that no test
# program inherits a key held or a focus left by the one before.
start_virtual_display() {
  local number_file i size
  size=$(screen_size) || return 1
  number_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${size}x24" +extension GLX -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
  xvfb_pid=$!
  trap 'kill $xvfb_pid 2>/dev/null; wait $xvfb_pid 2>/dev/null' EXIT
  for i in $(seq 1 100); do
    if [ -s "$number_file" ]; then
      export DISPLAY=":$(cat "$number_file")"
      rm -f "$number_file"
      xdpyinfo >/dev/null 2>&1 && return 0
      break
    fi
    kill -0 $xvfb_pid 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$number_file"
  echo "Xvfb did not start" >&2
  return 1
}
