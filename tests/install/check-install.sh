#!/usr/bin/env bash
# Installs a build into a scratch prefix and checks that everything lies where
# a desktop looks for it: the programs, the menu entry, the icons and the type
# of .brm files.
# Usage: check-install.sh CMAKE BUILD_DIR GUI(ON/OFF)
set -uo pipefail
CMAKE=$1
BUILD=$2
GUI=$3
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

if ! "$CMAKE" --install "$BUILD" --prefix "$prefix" >"$prefix/install.log" 2>&1; then
  cat "$prefix/install.log"
  fail "cmake --install failed"
fi

# The programs.
programs=(brimoss-cli)
case "$GUI" in ON | on | TRUE | true | 1 | YES | yes) programs+=(brimoss) ;; esac
for p in "${programs[@]}"; do
  [ -x "$prefix/bin/$p" ] || fail "bin/$p is missing or not executable"
done
out=$(printf 'stats\n' | "$prefix/bin/brimoss-cli" 2>&1) || fail "the installed brimoss-cli failed: $out"
case "$out" in "vertices 29 edges 72 faces 42"*) ;; *) fail "the installed brimoss-cli said: $out" ;; esac

# The manual pages, one for each program.
for p in "${programs[@]}"; do
  page=$prefix/share/man/man1/$p.1.gz
  if [ ! -f "$page" ]; then
    fail "share/man/man1/$p.1.gz is missing"
  elif ! gzip -dc "$page" | grep -q "^\.TH ${p^^} "; then
    fail "share/man/man1/$p.1.gz is not the manual page of $p"
  fi
done

# The menu entry.
desktop=$prefix/share/applications/brimoss.desktop
if [ ! -f "$desktop" ]; then
  fail "share/applications/brimoss.desktop is missing"
else
  if command -v desktop-file-validate >/dev/null; then
    # Hints (such as several main categories) are advice; errors and warnings fail.
    report=$(desktop-file-validate "$desktop" 2>&1)
    status=$?
    if [ $status -ne 0 ] || grep -qE ': (error|warning):' <<<"$report"; then
      fail "desktop-file-validate: $report"
    fi
  else
    echo "note: desktop-file-validate not found; checking the keys only"
  fi
  for line in '[Desktop Entry]' 'Type=Application' 'Name=Brimoss' 'Exec=brimoss %f' 'Icon=brimoss' \
    'Categories=Graphics;Science;Education;' 'MimeType=application/x-brimoss;'; do
    grep -qxF "$line" "$desktop" || fail "brimoss.desktop lacks the line $line"
  done
  [ "$(head -n1 "$desktop")" = '[Desktop Entry]' ] || fail "brimoss.desktop must start with [Desktop Entry]"
fi

# The icons: PNGs of the size their folder names.
for size in 32 128; do
  icon=$prefix/share/icons/hicolor/${size}x${size}/apps/brimoss.png
  if [ ! -f "$icon" ]; then
    fail "share/icons/hicolor/${size}x${size}/apps/brimoss.png is missing"
    continue
  fi
  magic=$(od -An -tx1 -N8 "$icon" | tr -d ' \n')
  [ "$magic" = 89504e470d0a1a0a ] || fail "$size-pixel icon is not a PNG"
  w=$(od -An -tu1 -j16 -N4 "$icon" | awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4 }')
  h=$(od -An -tu1 -j20 -N4 "$icon" | awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4 }')
  [ "$w" = "$size" ] && [ "$h" = "$size" ] || fail "$size-pixel icon is ${w}x${h}"
done
[ -f "$prefix/share/icons/hicolor/scalable/apps/brimoss.svg" ] ||
  fail "share/icons/hicolor/scalable/apps/brimoss.svg is missing"

# The file type: what the shared MIME database makes of the package.
mime=$prefix/share/mime
if [ ! -f "$mime/packages/brimoss.xml" ]; then
  fail "share/mime/packages/brimoss.xml is missing"
elif command -v update-mime-database >/dev/null; then
  if ! update-mime-database "$mime" >"$prefix/mime.log" 2>&1; then
    fail "update-mime-database: $(cat "$prefix/mime.log")"
  fi
  grep -q ':application/x-brimoss:\*\.brm$' "$mime/globs2" ||
    fail "*.brm does not map to application/x-brimoss"
  grep -qx 'application/x-brimoss text/plain' "$mime/subclasses" ||
    fail "application/x-brimoss is not a kind of text/plain"
else
  echo "note: update-mime-database not found; checking the file's text only"
  for t in 'type="application/x-brimoss"' '<glob pattern="*.brm"/>' '<sub-class-of type="text/plain"/>'; do
    grep -qF "$t" "$mime/packages/brimoss.xml" || fail "brimoss.xml lacks $t"
  done
fi

if [ $failures -ne 0 ]; then
  echo "$failures problem(s) with the installed files"
  exit 1
fi
echo "installed files are in place"
