#!/usr/bin/env bash
# Installs the Debian packages Tunekit needs to build, run and test. Safe to run again:
# it only calls apt-get when a package is missing.
set -euo pipefail

packages=(
  cmake g++ make
  qt6-base-dev qt6-serialport-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
  qt6-translations-l10n  # Qt's own German texts: standard buttons, file dialogs
  qcoro-qt6-dev          # coroutines on Qt signals and timers
  libgl-dev
  xvfb xauth
  g++-mingw-w64-x86-64   # checks that the Windows-only registry code compiles
  libqt6sql6-sqlite      # the records' default store
  libqt6sql6-psql        # a plant's records server
  libpq-dev pkg-config   # reads a records server's URL as PostgreSQL does
  postgresql             # the throw-away server the record tests write to
)
if [[ "${1:-}" == "--fuzz" ]]; then
  packages+=(clang libclang-rt-14-dev)
fi
if [[ "${1:-}" == "--package" ]]; then
  packages+=(
    dpkg-dev           # dpkg-buildflags, and dpkg-shlibdeps finds the package's dependencies
    lintian            # scripts/test-package.sh: Debian's checks of the package
    devscripts         # scripts/test-package.sh: hardening-check
    desktop-file-utils # scripts/test-package.sh: desktop-file-validate
  )
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=""
[[ $(id -u) -ne 0 ]] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
