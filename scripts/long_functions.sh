#!/usr/bin/env bash
# Lists every function in src/ longer than the limit (default 80 lines, counted from its
# opening to its closing brace, as clang-tidy's readability-function-size counts them) and
# fails when there is one.
#
# Usage: long_functions.sh [--build DIR] [--limit LINES] [FILE...]
#        (the build folder supplies compile_commands.json; default: build)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"
limit=80
files=()
while (($#)); do
  case "$1" in
    --build) build="$(realpath -m "$2")"; shift 2 ;;
    --limit) limit="$2"; shift 2 ;;
    -*) echo "unknown option: $1" >&2; exit 2 ;;
    *) files+=("$(realpath -m "$1")"); shift ;;
  esac
done
[ -f "$build/compile_commands.json" ] || { echo "no $build/compile_commands.json: configure first" >&2; exit 2; }
if ((${#files[@]} == 0)); then
  mapfile -t files < <(find "$root/src" -name '*.cpp' | sort)
fi

config="{CheckOptions: [{key: readability-function-size.LineThreshold, value: $limit}]}"
# One clang-tidy per file, two at a time; each finding is a warning line followed by a note
# with the count.
report="$(printf '%s\0' "${files[@]}" | xargs -0 -n1 -P2 clang-tidy-14 -p "$build" --quiet \
  -checks='-*,readability-function-size' -config="$config" --header-filter="^$root/src/" 2>/dev/null \
  | awk -v root="$root/" '
      / warning: function .* exceeds recommended size/ {
        split($0, p, ":"); where = p[1] ":" p[2]; sub(root, "", where)
        match($0, /function '\''[^'\'']*'\''/); name = substr($0, RSTART + 10, RLENGTH - 11)
        next }
      where != "" && / note: [0-9]+ lines including/ {
        match($0, /note: [0-9]+/); print where "\t" name "\t" substr($0, RSTART + 6, RLENGTH - 6) " lines"
        where = "" }' \
  | sort -u -t$'\t' -k1,1V)"
if [ -z "$report" ]; then
  echo "no function in src/ over $limit lines"
  exit 0
fi
printf '%s\n' "$report" | column -t -s$'\t'
echo "$(printf '%s\n' "$report" | wc -l) functions over $limit lines"
exit 1
