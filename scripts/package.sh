#!/usr/bin/env bash
# Builds the Debian package: a Release build in build-package/ of what the package holds (the
# programs, their manual pages and completions; no tests, no benchmarks) with Debian's build flags,
# then CPack. The .deb lands in build-package/ (install it with:
# sudo apt install ./build-package/tunekit_*.deb). scripts/test-package.sh checks it.
# TUNEKIT_UNITY_BUILD=ON builds batches of sources as one translation unit, as in scripts/build.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --package

# Debian's flags as dpkg-buildflags gives them: fortified functions, the stack protector,
# read-only relocations and, with hardening=+all, immediate binding. No -g: the package's programs
# are stripped and no debug package goes with them. CMake's Release flags (-O3 -DNDEBUG) come
# after these.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
export DEB_CXXFLAGS_MAINT_STRIP=-g
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)

unity=()
if [[ -n "${TUNEKIT_UNITY_BUILD:-}" ]]; then
  unity=(-DCMAKE_UNITY_BUILD="$TUNEKIT_UNITY_BUILD" -DCMAKE_UNITY_BUILD_BATCH_SIZE=16)
fi
# CMAKE_SKIP_INSTALL_ALL_DEPENDENCY: cpack installs what tunekit_package_files built instead of
# building every target first.
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DTUNEKIT_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON "${unity[@]}" >/dev/null
cmake --build build-package --target tunekit_package_files -j"$(nproc)"
rm -f build-package/tunekit_*.deb
(cd build-package && cpack -G DEB)
