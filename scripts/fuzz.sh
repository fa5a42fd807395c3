#!/usr/bin/env bash
# Fuzzes the .scd reader and the answer frame assembler: builds them with clang, libFuzzer, ASan
# and UBSan in fuzz-build/ and runs each for a bounded time (the reader seeded from tests/data/).
# Crashes land in fuzz-build/artifacts/.
#   scripts/fuzz.sh [seconds]      (default 60, for each target)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-60}"
build="$root/fuzz-build"

"$root/scripts/install-deps.sh" --fuzz

sanitizers="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_FLAGS="$sanitizers" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
  -DTUNEKIT_FUZZ=ON >/dev/null
cmake --build "$build" --target fuzz_config_reader fuzz_frame_assembler -j"$(nproc)"

artifacts="$build/artifacts/"
mkdir -p "$build/corpus/fuzz_config_reader" "$build/corpus/fuzz_frame_assembler" "$artifacts"
# New inputs go to the first folder; tests/data only seeds it and stays untouched. A smaller
# quarantine keeps the memory of a long run flat while still catching use after free.
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" ASAN_OPTIONS="detect_leaks=1:quarantine_size_mb=64"
"$build/fuzz/fuzz_config_reader" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 -timeout=10 \
  -dict="$root/fuzz/config_reader.dict" -print_final_stats=1 -artifact_prefix="$artifacts" \
  "$build/corpus/fuzz_config_reader" "$root/tests/data"
"$build/fuzz/fuzz_frame_assembler" -max_total_time="$seconds" -max_len=4096 -rss_limit_mb=2048 -timeout=10 \
  -dict="$root/fuzz/frame_assembler.dict" -print_final_stats=1 -artifact_prefix="$artifacts" \
  "$build/corpus/fuzz_frame_assembler"
