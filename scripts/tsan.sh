#!/usr/bin/env bash
# Builds the whole suite with ThreadSanitizer in its own folder and runs every test under it.
# Reports from inside Qt's and FFTW's own (uninstrumented) code are listed in tsan.supp.
#
# Usage: tsan.sh [--build DIR] [-- CTEST_ARGS...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-tsan"
source "$root/scripts/lib/suite_options.sh"
declare -A suite_paths=([--build]=build)
read_suite_options "$@"

"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DEVAL_BUILD_BENCHMARKS=OFF -DEVAL_BUILD_FUZZERS=OFF -DEVAL_SANITIZE=OFF -DEVAL_TSAN=ON >/dev/null
cmake --build "$build" -j2

# A program that reported a race exits with 66, so the test that hit it fails.
export TSAN_OPTIONS="suppressions=$root/scripts/tsan.supp second_deadlock_stack=1 ${TSAN_OPTIONS:-}"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 900 "${ctest_args[@]}"
