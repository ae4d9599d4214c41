#!/usr/bin/env bash
# Builds, then runs every benchmark under a virtual X server (the drawing
# benchmarks need a display) and ends with one table: each benchmark's median
# over BENCH_REPETITIONS runs and, where a literal form exists, the speed-up
# over it measured in the same run. Extra arguments go to the benchmark
# program, e.g. --benchmark_filter=relax.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
BUILD_DIR=${BUILD_DIR:-build}
exec xvfb-run -a -s "-screen 0 1280x1024x24" "$BUILD_DIR/brimoss_bench" \
  --benchmark_repetitions="${BENCH_REPETITIONS:-5}" --benchmark_report_aggregates_only=true "$@"
