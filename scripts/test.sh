#!/usr/bin/env bash
# Builds Tunekit and runs every test headless.
#   scripts/test.sh             normal build in build/
#   scripts/test.sh --sanitize  AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
set -euo pipefail
cd "$(dirname "$0")/.."
mode="${1:-}"
scripts/install-deps.sh "$mode"
export QT_QPA_PLATFORM=offscreen
if [[ "$mode" == "--sanitize" ]]; then
  scripts/build.sh build-asan -DTUNEKIT_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  ctest --test-dir build-asan --output-on-failure -j"$(nproc)"
else
  scripts/build.sh build
  ctest --test-dir build --output-on-failure -j"$(nproc)"
fi
