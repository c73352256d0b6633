# Set-up shared by scripts/start.sh and scripts/test.sh; sourced, not run.

PELMARIN_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

# Everything a fresh Debian 12 machine lacks to build, run and test the program.
PELMARIN_PACKAGES=(
  build-essential cmake g++ pkg-config
  libgtest-dev libwebkit2gtk-4.1-dev
  xvfb xdotool x11-utils imagemagick
  python3 python3-pyatspi at-spi2-core dbus dbus-x11
  adwaita-icon-theme xdg-utils
  clang libclang-rt-14-dev
)

pelmarin_log() {
  printf '\033[1m==> %s\033[0m\n' "$*"
}

# Runs a command as root: directly when we are root, through sudo otherwise.
pelmarin_as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  else
    sudo "$@"
  fi
}

pelmarin_install_missing_packages() {
  local missing=() package
  for package in "${PELMARIN_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null | grep -qx installed; then
      missing+=("$package")
    fi
  done
  if [ "${#missing[@]}" -eq 0 ]; then
    pelmarin_log "All required packages are installed"
    return 0
  fi
  pelmarin_log "Installing: ${missing[*]}"
  pelmarin_as_root apt-get update
  pelmarin_as_root env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y --no-install-recommends "${missing[@]}"
}

# The build installs the Flash module's player from the npm registry. Debian's nodejs and
# npm packages are taken only when no npm is on PATH: a Node.js installed another way
# (whose package may carry npm itself) is kept.
pelmarin_install_npm() {
  if command -v npm >/dev/null 2>&1; then
    return 0
  fi
  pelmarin_log "Installing: nodejs npm"
  pelmarin_as_root apt-get update
  pelmarin_as_root env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y --no-install-recommends nodejs npm
}

# pelmarin_build <build folder> <build type> [extra cmake options...]
pelmarin_build() {
  local folder="$1" type="$2"
  shift 2
  pelmarin_install_npm
  pelmarin_log "Configuring $folder ($type)"
  cmake -S "$PELMARIN_ROOT" -B "$folder" -DCMAKE_BUILD_TYPE="$type" -DPELMARIN_DESKTOP=ON "$@"
  pelmarin_log "Building $folder"
  cmake --build "$folder" -j "$(pelmarin_jobs)"
}

# At most two compile jobs: the engine's headers make each one large.
pelmarin_jobs() {
  local cores
  cores="$(nproc 2>/dev/null || echo 1)"
  if [ "$cores" -gt 2 ]; then echo 2; else echo "$cores"; fi
}
