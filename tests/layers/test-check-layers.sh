#!/usr/bin/env bash
# The layering check on the real tree must pass, and on a small tree that
# breaks each rule once it must fail and name every break (and nothing else).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
check=$here/../../scripts/check-layers.sh

"$check" "$here/../.." || { echo "FAIL: the source tree has includes that point up"; exit 1; }

out=$("$check" "$here/upward")
status=$?
fail=0
[ "$status" -eq 1 ] || { echo "FAIL: exit status $status on the broken tree"; fail=1; }
for want in 'model/up.h:2: model/ may not include sim/' \
            'sim/toolkit.cpp: the toolkit belongs' \
            'view/app.cpp:2: view/ may not include app/' \
            'cli/peer.cpp:1: cli/ may not include app/' \
            'copy/fixture.cpp:2: copy/ may not include testing/' \
            'testing/program.cpp:2: testing/ may not include cli/' \
            'view/canvas_user.cpp:3: view/ outside view/wx/ may not include view/wx/'; do
  grep -qF "$want" <<<"$out" || { echo "FAIL: not reported: $want"; fail=1; }
done
for fine in ops/fine.cpp view/wx/fine.cpp; do
  if grep -qF "$fine" <<<"$out"; then echo "FAIL: an allowed include was reported: $fine"; fail=1; fi
done
((fail)) && { echo "$out"; exit 1; }
echo "ok"
