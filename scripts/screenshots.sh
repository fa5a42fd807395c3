#!/usr/bin/env bash
# Takes the README's pictures: Tunekit against its simulated transmitter under Xvfb, unlocked to
# Development, after a read, every tab, both consoles and the progress window, in English and
# German, into docs/screenshots/.
#   scripts/screenshots.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target tunekit-screenshots
mkdir -p docs/screenshots
for language in EN DE; do
  # A fixed screen, so that every run lays the windows out alike.
  QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1600x1000x24 -dpi 96" \
    build/tools/tunekit-screenshots docs/screenshots "$language"
done
