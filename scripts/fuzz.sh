#!/usr/bin/env bash
# Fuzzes the readers of outside input (the .scd reader, the settings reader, the answer frame
# assembler and the command lines): builds the targets with clang, libFuzzer, ASan and UBSan in
# fuzz-build/ and runs each for a bounded time. Crashes land in fuzz-build/artifacts/.
#   scripts/fuzz.sh [seconds per target]      (default 60)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-60}"
build="$root/fuzz-build"
targets=(fuzz_config_reader fuzz_settings_reader fuzz_frame_assembler fuzz_command_line)

"$root/scripts/install-deps.sh" --fuzz

# clang 14 cannot emit the function-type check of UBSan for coroutines ("Cannot represent a
# difference across sections"), so that one check is left out.
sanitizers="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize=function -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_FLAGS="$sanitizers" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
  -DTUNEKIT_FUZZ=ON >/dev/null
cmake --build "$build" --target "${targets[@]}" -j"$(nproc)"

artifacts="$build/artifacts/"
mkdir -p "$artifacts"
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  extra=()
  case "$target" in
    fuzz_config_reader) extra=(-dict="$root/fuzz/config_reader.dict") seeds="$root/tests/data" ;;
    fuzz_settings_reader) seeds="$root/fuzz/settings_seeds" ;;
    fuzz_frame_assembler) extra=(-dict="$root/fuzz/frame_assembler.dict" -max_len=4096) seeds="$root/fuzz/frame_seeds" ;;
    fuzz_command_line) extra=(-dict="$root/fuzz/command_line.dict" -max_len=1024) seeds="$root/fuzz/command_line_seeds" ;;
  esac
  # New inputs go to the first folder; the seeds stay untouched. A smaller quarantine keeps the
  # memory of a long run flat while still catching use after free.
  UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" ASAN_OPTIONS="detect_leaks=1:quarantine_size_mb=64" \
    "$build/fuzz/$target" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 -timeout=10 \
    "${extra[@]}" -print_final_stats=1 -artifact_prefix="$artifacts" "$corpus" "$seeds"
done
