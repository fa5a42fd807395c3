#!/usr/bin/env bash
# Builds Tunekit and starts it. Without a programming adapter the program talks to its
# built-in simulated transmitter.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build
if build/src/tunekit --has-adapter; then
  exec build/src/tunekit "$@"
else
  echo "No programming adapter found: starting with the simulated transmitter."
  exec build/src/tunekit --simulate "$@"
fi
