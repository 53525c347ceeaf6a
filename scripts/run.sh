#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program on the simulated board in the
# examples folder, where the sample configuration and board program are listed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build"
cd "$root/examples"
exec "$root/build/src/app/kv2680eval" "$@"
