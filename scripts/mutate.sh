#!/usr/bin/env bash
# Mutation spot-check: applies the small deliberate faults of scripts/mutations.txt one at a
# time, rebuilds incrementally, runs the tests until the first failure and tells which faults
# the suite caught. The tree is always restored (also on Ctrl-C), and checked against git.
#
# Usage: mutate.sh [--out RESULTS.tsv] [--build DIR] [--timeout SECONDS] [ID...]
#        mutate.sh --check [ID...]         every original text is found exactly once
#        mutate.sh --list [ID...] | --diff [ID...]
#        (--mutations FILE reads another list than scripts/mutations.txt)
#        mutate.sh --compare BEFORE.tsv AFTER.tsv
#
# While it runs, the source tree holds one fault at a time: build nothing else from it.
# A fault counts as caught when a test fails, crashes or times out. The test programs of the
# mutated folder (tests/<folder>) are rebuilt and run first, failing fast; only a fault they
# miss costs the full rebuild and the whole ctest suite (stopping at the first failure).
set -euo pipefail
shopt -u patsub_replacement 2>/dev/null || true   # '&' in a replacement stays literal
root="$(cd "$(dirname "$0")/.." && pwd)"
list="$root/scripts/mutations.txt"
build="$root/build-mutate"
out=""
timeout=900   # seconds for one whole test run; one test gets at most 120
mode=run
ids=()

while (($#)); do
  case "$1" in
    --out) out="$(realpath -m "$2")"; shift 2 ;;
    --build) build="$(realpath -m "$2")"; shift 2 ;;
    --timeout) timeout="$2"; shift 2 ;;
    --mutations) list="$(realpath -m "$2")"; shift 2 ;;
    --check) mode=check; shift ;;
    --list) mode=list; shift ;;
    --diff) mode=diff; shift ;;
    --compare)
      # Fault, result before, result after; "LOST" marks (and fails on) a fault caught
      # before and missed after.
      awk -F'\t' 'NR == FNR { before[$1] = $4; next }
                  FNR == 1 { printf "%-5s %-56s %-10s %-10s\n", "id", "fault", "before", "after"; next }
                  { b = ($1 in before) ? before[$1] : "-"
                    printf "%-5s %-56.56s %-10s %-10s%s\n", $1, $3, b, $4,
                           (b == "caught" && $4 != "caught") ? "  LOST" : ""
                    if (b == "caught" && $4 != "caught") lost = 1 }
                  END { exit lost }' "$2" "$3"
      exit ;;
    -*) echo "unknown option: $1" >&2; exit 2 ;;
    *) ids+=("$1"); shift ;;
  esac
done

# --- the list: blocks of "[ID]" then "file:", "fault:", "from:", "to:" lines -------------
m_id=() m_file=() m_fault=() m_from=() m_to=()
while IFS= read -r line || [ -n "$line" ]; do
  case "$line" in
    '#'* | '') ;;
    '['*']') m_id+=("${line:1:${#line}-2}"); m_file+=(""); m_fault+=(""); m_from+=(""); m_to+=("") ;;
    file:*) m_file[-1]="${line#file: }" ;;
    fault:*) m_fault[-1]="${line#fault: }" ;;
    from:*) m_from[-1]="${line#from: }" ;;
    to:*) m_to[-1]="${line#to:}"; m_to[-1]="${m_to[-1]# }" ;;
    *) echo "mutations.txt: cannot read line: $line" >&2; exit 2 ;;
  esac
done <"$list"

selected=()
for i in "${!m_id[@]}"; do
  if ((${#ids[@]} == 0)) || [[ " ${ids[*]} " == *" ${m_id[i]} "* ]]; then selected+=("$i"); fi
done
for id in "${ids[@]}"; do
  [[ " ${m_id[*]} " == *" $id "* ]] || { echo "no mutation $id" >&2; exit 2; }
done

if [ "$mode" = list ]; then
  for i in "${selected[@]}"; do printf '%-5s %-36s %s\n' "${m_id[i]}" "${m_file[i]}" "${m_fault[i]}"; done
  exit 0
fi

# Prints the file's text with mutation i applied and an "x" after it (so a final newline
# survives command substitution); fails unless the original occurs exactly once.
mutated_text() {
  local i="$1" path="$root/${m_file[$1]}" content rest
  [ -f "$path" ] || { echo "${m_id[i]}: no file ${m_file[i]}" >&2; return 1; }
  [ -n "${m_from[i]}" ] || { echo "${m_id[i]}: empty original text" >&2; return 1; }
  content="$(cat "$path"; printf x)"
  content="${content%x}"
  rest="${content#*"${m_from[i]}"}"
  if [ "$rest" = "$content" ]; then
    echo "${m_id[i]}: original text no longer in ${m_file[i]}: ${m_from[i]}" >&2; return 1
  fi
  if [[ "$rest" == *"${m_from[i]}"* ]]; then
    echo "${m_id[i]}: original text found more than once in ${m_file[i]}: ${m_from[i]}" >&2; return 1
  fi
  printf '%sx' "${content/"${m_from[i]}"/"${m_to[i]}"}"
}

bad=0
for i in "${selected[@]}"; do mutated_text "$i" >/dev/null || bad=1; done
((bad == 0)) || exit 1
if [ "$mode" = check ]; then
  echo "all ${#selected[@]} mutations apply"
  exit 0
fi
if [ "$mode" = diff ]; then
  for i in "${selected[@]}"; do
    text="$(mutated_text "$i")"
    diff -u --label "a/${m_file[i]}" --label "b/${m_file[i]} (${m_id[i]})" \
      "$root/${m_file[i]}" <(printf '%s' "${text%x}") || true
  done
  exit 0
fi

# --- restoring the tree ------------------------------------------------------------------
backup="$(mktemp -d)"
tree_state() { git -C "$root" status --porcelain=v1 --untracked-files=no; git -C "$root" diff HEAD --binary; }
tree_before="$(tree_state | sha256sum)"
current=""   # index of the mutation in the tree, if any

restore() {
  if [ -n "$current" ]; then
    # Written, not copied with its old time stamp, so the next build recompiles the file.
    cat "$backup/original" >"$root/${m_file[current]}"
    current=""
  fi
}
on_exit() {
  local rc=$?
  restore
  rm -rf "$backup"
  if [ "$(tree_state | sha256sum)" != "$tree_before" ]; then
    echo "ERROR: the tree differs from before the run; see git diff" >&2
    exit 1
  fi
  echo "tree restored (git diff unchanged)" >&2
  exit "$rc"
}
trap on_exit EXIT
trap 'exit 130' INT TERM HUP

# --- build and test ----------------------------------------------------------------------
log="$build/mutate-logs"
export QT_QPA_PLATFORM=offscreen

# Builds the given targets (all when none are given) into the log file.
build_tree() {
  local logfile="$1"
  shift
  cmake --build "$build" ${1:+--target "$@"} >"$logfile" 2>&1
}

# The test programs of one folder of src/ (they exist after the first full build).
folder_tests() {
  local exe
  for exe in "$build"/tests/test_"$1"_*; do
    if [ -f "$exe" ] && [ -x "$exe" ]; then basename "$exe"; fi
  done
}

# Runs the folder's test programs, stopping at the first failure; prints it, if any.
fast_failure() {
  local name="$1" exe test
  shift
  for exe in "$@"; do
    if ! (cd "$build/tests" && timeout 120 "./$exe" --gtest_fail_fast --gtest_brief=1) \
        >"$log/$name.fast" 2>&1; then
      test="$(grep -m1 -o '\[  FAILED  \] [^ ,]*' "$log/$name.fast" | cut -c14- || true)"
      echo "$exe: ${test:-crashed or timed out}"
      return
    fi
  done
}

# Runs the whole suite but the package test, stopping at the first failure; prints it, if any.
ctest_failure() {
  local name="$1" test
  if ! (cd "$build" && timeout "$timeout" ctest --stop-on-failure --timeout 120 -E '^install\.') \
      >"$log/$name.ctest" 2>&1; then
    test="$(grep -m1 -oE '[^ ]+ \.+\**(Failed|Timeout|Exception|Not Run)' "$log/$name.ctest" \
      | cut -d' ' -f1 || true)"
    echo "ctest: ${test:-run timed out}"
  fi
}

# Prints "caught<TAB>first failing test", "missed" or "no-build<TAB>log" for the tree as it is:
# the folder's own tests first (only their programs rebuilt), then everything.
try_mutant() {
  local id="$1" folder="$2" by
  local fast=($(folder_tests "$folder"))
  if ((${#fast[@]})); then
    if ! build_tree "$log/$id.build" "${fast[@]}"; then printf 'no-build\t%s\n' "$log/$id.build"; return; fi
    by="$(fast_failure "$id" "${fast[@]}")"
    if [ -n "$by" ]; then printf 'caught\t%s\n' "$by"; return; fi
  fi
  if ! build_tree "$log/$id.build"; then printf 'no-build\t%s\n' "$log/$id.build"; return; fi
  by="$(ctest_failure "$id")"
  if [ -n "$by" ]; then printf 'caught\t%s\n' "$by"; else echo missed; fi
}

# Release: no debug information, so the many test programs relink quickly after each fault.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DEVAL_BUILD_BENCHMARKS=OFF -DEVAL_BUILD_FUZZERS=OFF -DEVAL_SANITIZE=OFF >/dev/null
mkdir -p "$log"
echo "baseline: building and running the unchanged suite" >&2
build_tree "$log/baseline.build" || { echo "the unchanged tree does not build" >&2; exit 1; }
failure="$(ctest_failure baseline)"
if [ -n "$failure" ]; then
  echo "the unchanged suite fails ($failure); fix that first" >&2
  exit 1
fi

if [ -n "$out" ]; then printf 'id\tfile\tfault\tresult\tfirst failing test\tseconds\n' >"$out"; fi
printf '%-5s %-30s %-56s %-8s %s\n' id file fault result "first failing test"
caught=0
for i in "${selected[@]}"; do
  id="${m_id[i]}" start=$SECONDS
  text="$(mutated_text "$i")"   # fails loudly if the original text is gone
  cp "$root/${m_file[i]}" "$backup/original"
  current="$i"
  printf '%s' "${text%x}" >"$root/${m_file[i]}"
  IFS=$'\t' read -r result by < <(try_mutant "$id" "$(cut -d/ -f2 <<<"${m_file[i]}")")
  restore
  if [ "$result" = caught ]; then caught=$((caught + 1)); fi
  printf '%-5s %-30.30s %-56.56s %-8s %s\n' "$id" "${m_file[i]#src/}" "${m_fault[i]}" "$result" "$by"
  if [ -n "$out" ]; then
    printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$id" "${m_file[i]}" "${m_fault[i]}" "$result" "$by" \
      "$((SECONDS - start))" >>"$out"
  fi
done
echo "caught $caught of ${#selected[@]}"
