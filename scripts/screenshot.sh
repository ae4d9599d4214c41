#!/usr/bin/env bash
# Takes the README's picture of the window: builds, starts build/brimoss under
# a virtual X server, lets the start-up twinkle settle, grabs the screen and
# crops it to the window. Writes docs/screenshot.png (or the path given).
#   ./scripts/screenshot.sh [OUT.png]      (WAIT=seconds before the shot, 4;
#                                           OPEN=FILE.brm starts with that file)
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = "--on-display" ]; then
  # The part that runs on the virtual display.
  build=$2 out=$3 wait=$4
  "$build/brimoss" ${OPEN:+"$OPEN"} &
  pid=$!
  trap 'kill "$pid" 2>/dev/null || true' EXIT
  wid=""
  for _ in $(seq 100); do
    wid=$(xdotool search --onlyvisible --name '^Brimoss$' 2>/dev/null | head -n1 || true)
    [ -n "$wid" ] && break
    sleep 0.1
  done
  if [ -z "$wid" ]; then
    echo "the Brimoss window did not appear" >&2
    exit 1
  fi
  sleep "$wait"
  # X, Y, WIDTH and HEIGHT of the window; with no window manager it has no frame.
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out"
  exit 0
fi

./scripts/setup.sh
BUILD_DIR=${BUILD_DIR:-build}
OUT=${1:-docs/screenshot.png}
mkdir -p "$(dirname "$OUT")"
xvfb-run -a -s "-screen 0 1024x768x24" "$0" --on-display "$BUILD_DIR" "$OUT" "${WAIT:-4}"
echo "wrote $OUT"
