#!/usr/bin/env bash
# Fails when an #include points the wrong way between the program's folders.
# The layers, lowest first: model <- sim <- copy <- ops <- view <- (app, cli).
# A file may include its own layer and the layers below; app/ and cli/ are
# peers that neither includes; the window's toolkit stays out of everything
# but app/ and view/wx/, and no other part of view/ reaches into view/wx/,
# so the pure view builds without it. The tests' library, testing/, sits above them all and
# includes neither app/ nor cli/: the programs never see it. Usage:
# check-layers.sh [SOURCE_DIR]
set -uo pipefail
root=${1:-$(dirname "$0")/..}
cd "$root" || exit 2

rank() {
  case $1 in
    model) echo 0 ;; sim) echo 1 ;; copy) echo 2 ;; ops) echo 3 ;; view) echo 4 ;;
    app | cli) echo 5 ;; testing) echo 6 ;; *) echo "" ;;
  esac
}

bad=0
for dir in model sim copy ops view app cli testing; do
  [ -d "$dir" ] || continue
  mine=$(rank "$dir")
  while IFS= read -r file; do
    while IFS=: read -r line text; do
      target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^/"]+)\/.*/\1/' <<<"$text")
      theirs=$(rank "$target")
      [ -n "$theirs" ] || continue
      if ((theirs > mine)) || { ((theirs == 5)) && [ "$target" != "$dir" ]; }; then
        echo "$file:$line: $dir/ may not include $target/: ${text#"${text%%[![:space:]]*}"}"
        bad=1
      fi
    done < <(grep -n -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file")
    case $file in
      app/* | view/wx/*) ;;
      *)
        if grep -n -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]wx/' "$file" >/dev/null; then
          echo "$file: the toolkit belongs in app/ and view/wx/ only"
          bad=1
        fi
        ;;
    esac
    case $file in
      view/wx/*) ;;
      view/*)
        while IFS=: read -r line text; do
          echo "$file:$line: view/ outside view/wx/ may not include view/wx/: ${text#"${text%%[![:space:]]*}"}"
          bad=1
        done < <(grep -n -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"view/wx/' "$file")
        ;;
    esac
  done < <(find "$dir" -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.xpm' \) | sort)
done
if ((bad)); then
  echo "includes must point down: model <- sim <- copy <- ops <- view <- (app, cli) <- testing"
  exit 1
fi
echo "layers: every include points down"
