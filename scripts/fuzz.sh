#!/usr/bin/env bash
# Builds the fuzzers with clang (AddressSanitizer and UndefinedBehaviorSanitizer
# included) into build-fuzz/ and runs each for FUZZ_SECONDS seconds (60 by
# default): the surface-file reader, from fuzz/corpus, and the batch tool's
# commands, from fuzz/script_corpus. Fails on any crash, sanitizer report or
# broken store rule; the input that found it is left in build-fuzz/artifacts/
# (copy it into fuzz/regressions/, or fuzz/script_corpus/ for a script, once
# it is mended).
set -euo pipefail
cd "$(dirname "$0")/.."

FUZZ_SECONDS=${FUZZ_SECONDS:-60}
BUILD_DIR=${FUZZ_BUILD_DIR:-build-fuzz}

cmake -S . -B "$BUILD_DIR" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBRIMOSS_FUZZ=ON -DBRIMOSS_GUI=OFF -DBRIMOSS_BENCH=OFF >/dev/null
cmake --build "$BUILD_DIR" --target fuzz_reader fuzz_script -j"$(nproc)"

# New inputs go to corpora of the build's own; the checked-in seeds are read only.
mkdir -p "$BUILD_DIR/corpus" "$BUILD_DIR/script_corpus" "$BUILD_DIR/artifacts"
export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
"$BUILD_DIR/fuzz_reader" -max_total_time="$FUZZ_SECONDS" -max_len=16384 -timeout=20 \
  -rss_limit_mb=2048 -dict=fuzz/reader.dict -print_final_stats=1 -artifact_prefix="$BUILD_DIR/artifacts/" \
  "$BUILD_DIR/corpus" fuzz/corpus fuzz/regressions
"$BUILD_DIR/fuzz_script" -max_total_time="$FUZZ_SECONDS" -max_len=2048 -timeout=30 \
  -rss_limit_mb=2048 -dict=fuzz/script.dict -print_final_stats=1 -artifact_prefix="$BUILD_DIR/artifacts/script-" \
  "$BUILD_DIR/script_corpus" fuzz/script_corpus
