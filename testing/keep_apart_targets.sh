#!/bin/sh
# Grows each sample kept apart to the full store, then sways, touches and
# pulls it, printing the sheet's figures (crossings among them) after each
# stage and the batch time of the growth. Usage:
#   testing/keep_apart_targets.sh [BUILD_DIR] [SAMPLES...]
set -eu
build=${1:-build}
[ $# -gt 0 ] && shift
samples=${*:-128 129 130 131}
for n in $samples; do
  script=$(mktemp)
  {
    printf 'keep-apart on\nsample %s\n' "$n"
    printf 'grow-sheet 1000\ncheck-sheet\n'
    i=0
    while [ $i -lt 10 ]; do printf 'spread\n'; i=$((i + 1)); done
    printf 'check-sheet\nsway 3\ntick 200\ncheck-sheet\n'
    for v in 3 41 88 130 177 219 262 305 351 397 440 486 531 575 620 664 708 751 797 842; do
      printf 'touch %s\ntick 5\n' "$v"
    done
    printf 'check-sheet\n'
    for v in 12 250 480 700 900; do printf 'current %s\npull\n' "$v"; done
    printf 'check-sheet\nexport-solid %s.stl 0.1\n' "$script"
  } >"$script"
  echo "sample $n"
  start=$(date +%s.%N)
  "$build/brimoss-cli" "$script" 2>&1 |
    grep -E '^(cells|line|vertices|components|mean_angle_sum|crossings|tmpcrossings)' || true
  end=$(date +%s.%N)
  echo "seconds $(echo "$end - $start" | bc)"
  rm -f "$script" "$script.stl"
done
