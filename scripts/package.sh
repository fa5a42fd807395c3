#!/usr/bin/env bash
# Builds the Debian package: a Release build in build-package/ and CPack. The .deb lands in
# build-package/ (install it with: sudo apt install ./build-package/tunekit_*.deb).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --package
scripts/build.sh build-package -DCMAKE_BUILD_TYPE=Release
(cd build-package && cpack -G DEB)
