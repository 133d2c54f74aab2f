#!/usr/bin/env bash
# Installs every Debian package that Tessary's build and tests need. Safe to run again.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libgtest-dev libgmock-dev            # unit tests
  libbenchmark-dev                     # speed benchmarks (bench/)
  libcli11-dev                         # command-line parsing
  nlohmann-json3-dev                   # JSON output of `tessary info --json`
  libzip-dev                           # built-in extractor for the games' .iwd archives
  libpng-dev                           # PNG output of `tessary render`, textures embedded in glTF
  libsquish-dev                        # DXT1/3/5 image decoding
  libtinygltf-dev                      # glTF 2.0 writing (and reading back in tests)
  libegl-dev libgl-dev libglu1-mesa-dev libegl-mesa0 libgl1-mesa-dri   # headless OpenGL
  libfreetype-dev libfontconfig-dev fonts-dejavu-core                  # preview text overlay
  qt6-base-dev libqt6opengl6-dev libgl1-mesa-dev                       # desktop program
  xvfb xauth                           # desktop program tests without a display
  librsvg2-bin                         # rsvg-convert: renders the application icon's PNG sizes
  desktop-file-utils appstream         # validating the desktop entry and the AppStream metainfo
  clang libclang-rt-14-dev             # fuzz targets (scripts/fuzz.sh): libFuzzer and sanitizers
  g++-mingw-w64-x86-64-posix           # the Windows syntax check (scripts/check-windows-syntax.sh)
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
else
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The Khronos glTF validator (npm package gltf-validator), which a test runs over the glTF
# exports, goes into the project-local folder .tools/ (not tracked by git). Node and npm come
# from Debian when they are not there.
if ! command -v npm >/dev/null 2>&1; then
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get install -y -qq --no-install-recommends nodejs npm
fi
validator_dir="$(dirname "$0")/../.tools/gltf-validator"
if [ ! -f "$validator_dir/node_modules/gltf-validator/package.json" ]; then
  mkdir -p "$validator_dir"
  npm install --silent --no-audit --no-fund --prefix "$validator_dir" gltf-validator@2.0.0-dev.3.10
fi
