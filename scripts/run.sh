#!/usr/bin/env bash
# Builds Brimoss and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
BUILD_DIR=${BUILD_DIR:-build}
if [ -x "$BUILD_DIR/brimoss" ]; then
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Brimoss needs a display: no DISPLAY is set." >&2
    echo "On a machine without one, run it under a virtual X server:" >&2
    echo "  xvfb-run -a $BUILD_DIR/brimoss" >&2
    exit 1
  fi
  exec "$BUILD_DIR/brimoss" "$@"
fi
printf 'stats\n' | "$BUILD_DIR/brimoss-cli"
