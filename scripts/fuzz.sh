#!/usr/bin/env bash
# Fuzzes the .scd reader: builds it with clang, libFuzzer, ASan and UBSan in fuzz-build/ and runs
# it for a bounded time, seeded from tests/data/. Crashes land in fuzz-build/artifacts/.
#   scripts/fuzz.sh [seconds]      (default 60)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-60}"
build="$root/fuzz-build"
target=fuzz_config_reader

"$root/scripts/install-deps.sh" --fuzz

sanitizers="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_FLAGS="$sanitizers" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
  -DTUNEKIT_FUZZ=ON >/dev/null
cmake --build "$build" --target "$target" -j"$(nproc)"

corpus="$build/corpus/$target"
artifacts="$build/artifacts/"
mkdir -p "$corpus" "$artifacts"
# New inputs go to the first folder; tests/data only seeds it and stays untouched. A smaller
# quarantine keeps the memory of a long run flat while still catching use after free.
UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" ASAN_OPTIONS="detect_leaks=1:quarantine_size_mb=64" \
  "$build/fuzz/$target" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 -timeout=10 \
  -dict="$root/fuzz/config_reader.dict" -print_final_stats=1 -artifact_prefix="$artifacts" \
  "$corpus" "$root/tests/data"
