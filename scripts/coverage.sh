#!/usr/bin/env bash
# Builds the whole suite with gcov instrumentation in its own folder, runs every test and
# prints line and branch coverage of src/ per folder.
#
# Usage: coverage.sh [--json SUMMARY.json] [--build DIR] [-- CTEST_ARGS...]
#        coverage.sh --compare BEFORE.json AFTER.json   (fails if a folder lost over 0.5 point)
#
# Branches the compiler adds for exception unwinding and branches on lines without code are
# left out (gcovr --exclude-throw-branches --exclude-unreachable-branches): nearly every call
# carries an exception edge that no test is meant to take, and counting those would bury the
# decisions the code itself makes. Counters are updated atomically: blocks are uploaded on
# the acquisition thread while the owner's thread analyses, and racing plain counters can
# come out negative, which gcovr refuses.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
table="$root/scripts/coverage_table.py"

if [ "${1:-}" = "--compare" ]; then
  exec python3 "$table" compare "$2" "$3"
fi

build="$root/build-coverage"
json=""
source "$root/scripts/lib/suite_options.sh"
declare -A suite_paths=([--build]=build [--json]=json)
read_suite_options "$@"

"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DEVAL_BUILD_BENCHMARKS=OFF -DEVAL_BUILD_FUZZERS=OFF -DEVAL_SANITIZE=OFF \
  -DCMAKE_CXX_FLAGS="--coverage -fprofile-update=atomic" -DCMAKE_EXE_LINKER_FLAGS="--coverage" >/dev/null
cmake --build "$build"

# Counters from an earlier run would add to this one.
find "$build" -name '*.gcda' -delete
if ! (cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600 "${ctest_args[@]}") \
    >"$build/ctest.log" 2>&1; then
  grep -A20 'tests passed' "$build/ctest.log" >&2 || true
  echo "warning: some tests failed (see $build/ctest.log); the figures count what ran" >&2
fi
grep -h 'tests passed' "$build/ctest.log" || true

# Only src/ counts: tests/, bench/, fuzz/ and the generated moc and resource files (which
# live in the build folder) stay out.
raw="$build/coverage-files.json"
(cd "$root" && gcovr --root "$root" --filter "$root/src/" \
  --exclude-throw-branches --exclude-unreachable-branches \
  -j "$(nproc)" --json-summary "$raw" "$build") >/dev/null
python3 "$table" folders "$raw" ${json:+"$json"}
