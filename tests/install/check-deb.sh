#!/usr/bin/env bash
# Builds the Debian package from a build folder, unpacks it into a scratch
# root and checks what it holds: both programs (the batch tool run from
# there), the menu entry, the icons, the file type, dependencies read from the
# linked libraries, the manual pages, and neither errors nor warnings from
# lintian.
# Usage: check-deb.sh CPACK BUILD_DIR
set -uo pipefail
CPACK=$1
BUILD=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

if ! (cd "$work" && "$CPACK" -G DEB --config "$BUILD/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1); then
  cat "$work/cpack.log"
  echo "FAIL: cpack -G DEB failed"
  exit 1
fi
deb=$(ls "$work"/out/*.deb 2>/dev/null | head -n1)
[ -n "$deb" ] || { cat "$work/cpack.log"; echo "FAIL: no .deb was made"; exit 1; }
echo "package: $(basename "$deb")"

root=$work/root
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb -x failed"
for f in usr/bin/brimoss usr/bin/brimoss-cli; do
  [ -x "$root/$f" ] || fail "$f is missing or not executable"
done
for f in usr/share/applications/brimoss.desktop usr/share/mime/packages/brimoss.xml \
  usr/share/icons/hicolor/32x32/apps/brimoss.png usr/share/icons/hicolor/128x128/apps/brimoss.png \
  usr/share/icons/hicolor/scalable/apps/brimoss.svg usr/share/doc/brimoss/copyright \
  usr/share/man/man1/brimoss.1.gz usr/share/man/man1/brimoss-cli.1.gz; do
  [ -f "$root/$f" ] || fail "$f is missing"
done

out=$("$root/usr/bin/brimoss-cli" --help 2>&1) || fail "the unpacked brimoss-cli --help failed: $out"
case "$out" in "usage: brimoss-cli"*) ;; *) fail "the unpacked brimoss-cli --help said: $out" ;; esac
out=$("$root/usr/bin/brimoss" --version 2>&1) || fail "the unpacked brimoss --version failed: $out"

# Dependencies come from the libraries linked, not from a hand-written list.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libc6 libstdc++6 libwxgtk3; do
  grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib"
done

if command -v lintian >/dev/null; then
  lintian --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1
  cat "$work/lintian.log"
  grep -q '^E: ' "$work/lintian.log" && fail "lintian reports errors"
  grep -q '^W: ' "$work/lintian.log" && fail "lintian reports warnings"
else
  echo "note: lintian not found; the package was not checked by it"
fi

if [ $failures -ne 0 ]; then
  echo "$failures problem(s) with the package"
  exit 1
fi
echo "the package holds what it should"
