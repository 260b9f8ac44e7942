# Shared by scripts/run and scripts/test: installs what Vexlume needs on a
# Debian 12 machine, builds it, and starts a virtual X server when asked.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build_dir=${VEXLUME_BUILD_DIR:-$root/build}

# Everything the build, the game and the tests use.
packages=(
  build-essential cmake pkg-config
  libsdl1.2-compat-dev libsdl1.2-compat-shim
  libsdl-image1.2-dev libsdl-ttf2.0-dev libsdl-mixer1.2-dev
  libgl-dev libgl1-mesa-dri
  libgtest-dev libgmock-dev
  libx11-dev libxtst-dev
  xvfb xauth xdotool x11-apps x11-utils
  python3
  libbenchmark-dev strace mesa-utils procps
  clang libclang-rt-14-dev
  desktop-file-utils appstream dpkg-dev groff-base man-db file
)

# Installs only what is missing, so a second run does nothing here.
install_packages() {
  local missing=()
  local package
  for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
}

# Configures once and builds what changed: everything, or the targets named.
build() {
  if [ ! -f "$build_dir/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo
  fi
  local targets=()
  local target
  for target in "$@"; do targets+=(--target "$target"); done
  cmake --build "$build_dir" -j"$(nproc)" "${targets[@]}"
}

# Starts Xvfb with GLX at the game's own screen size on the first free
# display number and exports DISPLAY; the server is stopped when the calling
# script exits.
start_virtual_display() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
  done
  Xvfb ":$n" -screen 0 1680x1050x24 +extension GLX -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  trap 'kill $xvfb_pid 2>/dev/null; wait $xvfb_pid 2>/dev/null' EXIT
  export DISPLAY=":$n"
  local i
  for i in $(seq 1 100); do
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "Xvfb did not start on $DISPLAY" >&2
  return 1
}
