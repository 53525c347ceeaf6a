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
command -v clang-tidy-14 >/dev/null || { echo "no clang-tidy-14: run scripts/install-deps.sh" >&2; exit 2; }
if ((${#files[@]} == 0)); then
  mapfile -t files < <(find "$root/src" -name '*.cpp' | sort)
fi

config="{CheckOptions: [{key: readability-function-size.LineThreshold, value: $limit}]}"
# One clang-tidy per file, two at a time; each finding is a warning line followed by a note
# with the count. A file clang cannot parse would hide its functions: that fails the check.
findings="$(mktemp)"
trap 'rm -f "$findings"' EXIT
if ! printf '%s\0' "${files[@]}" | xargs -0 -n1 -P2 clang-tidy-14 -p "$build" --quiet \
    -checks='-*,readability-function-size' -config="$config" --header-filter="^$root/src/" \
    >"$findings" 2>/dev/null; then
  grep ' error: ' "$findings" >&2 || true
  echo "clang-tidy could not read every file" >&2
  exit 2
fi
# The warning names the function and its note gives the count, both at the same place:
# joined by that place, since the two clang-tidy runs may write in turn.
report="$(awk -v root="$root/" '
      / warning: function .* exceeds recommended size/ {
        split($0, p, ":"); at = p[1] ":" p[2] ":" p[3]
        match($0, /function '\''[^'\'']*'\''/); name[at] = substr($0, RSTART + 10, RLENGTH - 11) }
      / note: [0-9]+ lines including/ {
        split($0, p, ":"); at = p[1] ":" p[2] ":" p[3]
        match($0, /note: [0-9]+/); lines[at] = substr($0, RSTART + 6, RLENGTH - 6) }
      END {
        for (at in name) {
          split(at, p, ":"); where = p[1] ":" p[2]; sub(root, "", where)
          print where "\t" name[at] "\t" lines[at] " lines" } }' "$findings" \
  | sort -u -t$'\t' -k1,1V)"
if [ -z "$report" ]; then
  echo "no function in src/ over $limit lines"
  exit 0
fi
printf '%s\n' "$report" | column -t -s$'\t'
echo "$(printf '%s\n' "$report" | wc -l) functions over $limit lines"
exit 1
