#!/usr/bin/env bash
# Configures and builds into a build folder: scripts/build.sh <folder> [extra cmake options]
# TUNEKIT_UNITY_BUILD=ON builds batches of sources as one translation unit: about half the time
# from scratch (CI), but an edit recompiles its whole batch, so it is off for everyday work.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="$1"; shift
unity=()
if [[ -n "${TUNEKIT_UNITY_BUILD:-}" ]]; then
  unity=(-DCMAKE_UNITY_BUILD="$TUNEKIT_UNITY_BUILD" -DCMAKE_UNITY_BUILD_BATCH_SIZE=16)
fi
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${unity[@]}" "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)"
