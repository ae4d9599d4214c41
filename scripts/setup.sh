#!/usr/bin/env bash
# Installs what Brimoss needs from Debian's archive (only when something is
# missing), then configures and builds into build/ (or $BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(cmake g++ clang clang-format libgtest-dev libgmock-dev libbenchmark-dev libwxgtk3.2-dev
          xvfb xauth imagemagick xdotool ghostscript libclang-rt-14-dev libassimp-dev
          desktop-file-utils locales libcairo2-dev pkg-config dpkg-dev file lintian libpng-dev
          librsvg2-bin libcgal-dev help2man openbox)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# A locale with a decimal comma, so the tests can show that files are written
# and read the same whatever the locale (a second or two, once).
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  $SUDO localedef -i de_DE -c -f UTF-8 de_DE.UTF-8 ||
    echo "note: could not generate de_DE.UTF-8; the locale test will be skipped" >&2
fi

BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} ${CMAKE_ARGS:-} >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)"
