#!/usr/bin/env bash
# Checks that the core compiles for Windows: every source and header of src/model,
# src/export, src/workspace and src/platform, except the POSIX services (src/platform/posix/,
# which a Windows build replaces) and the Qt-backed settings store, goes through mingw-w64's
# compiler with -fsyntax-only. Needs the package g++-mingw-w64-x86-64-posix (installed by
# scripts/install-deps.sh). Exits non-zero when a file does not compile.
set -euo pipefail
cd "$(dirname "$0")/.."
cxx=x86_64-w64-mingw32-g++-posix
command -v "$cxx" >/dev/null || { echo "check-windows-syntax: $cxx is missing" >&2; exit 1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# The generated header as CMake makes it, with placeholder texts.
mkdir -p "$scratch/generated/platform"
sed 's/@[A-Z_]*@/x/g' src/platform/BuildInfo.h.in >"$scratch/generated/platform/BuildInfo.h"
# The third-party headers the core includes, as the Debian -dev packages install them: linked
# one by one, as the rest of /usr/include is Linux's own and would hide mingw-w64's.
mkdir -p "$scratch/third-party"
for h in zip.h zipconf.h squish.h tiny_gltf.h png.h pngconf.h pnglibconf.h nlohmann; do
  [ -e "/usr/include/$h" ] && ln -s "/usr/include/$h" "$scratch/third-party/$h"
done

mapfile -t files < <(find src/model src/export src/workspace src/platform \
  -path src/platform/posix -prune -o \( -name '*.cpp' -o -name '*.h' \) -print |
  grep -v '^src/platform/QtSettingsStore\.' | sort)
check() {
  # A header is compiled as the one include of an empty file, where "#pragma once" belongs.
  local source=("$1")
  [[ $1 == *.h ]] && source=(-include "$1" /dev/null)
  "$cxx" -std=c++20 -fsyntax-only -Wall -Wextra -Isrc -I"$scratch/generated" -isystem "$scratch/third-party" \
    -x c++ "${source[@]}" || { echo "check-windows-syntax: $1 does not compile for Windows" >&2; exit 1; }
}
export -f check
export cxx scratch
if printf '%s\0' "${files[@]}" | xargs -0 -n 1 -P "$(nproc)" bash -c 'check "$0"'; then
  echo "check-windows-syntax: ${#files[@]} files compile for Windows"
else
  exit 1
fi
