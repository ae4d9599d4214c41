#!/usr/bin/env bash
# Fails when a C++ file of the project is not as clang-format (with the
# repository's .clang-format) would write it. Usage: check-format.sh
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z '*.cpp' '*.h' ':!:tests/layers/upward/*' |
  xargs -0 clang-format --dry-run -Werror
echo "format: every C++ file is as clang-format writes it"
