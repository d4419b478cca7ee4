#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what Ledgerwell needs from Debian's packages, builds it, then
#   setup.sh run   starts the client in its demo setting (with the local bureau simulator)
#   setup.sh test  runs the whole test suite
#   setup.sh build only builds
set -euo pipefail
cd "$(dirname "$0")/.."
mode="${1:-build}"

packages=(
  build-essential cmake pkg-config git
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libgl-dev
  libgsoap-dev gsoap libxml2-dev libzip-dev libxlsxwriter-dev
  fonts-wqy-microhei qt6-translations-l10n xvfb xauth x11-utils desktop-file-utils sqlite3
  poppler-utils
  clang-14 libclang-rt-14-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
fi

build="${LW_BUILD_DIR:-build}"
werror=OFF
[ -n "${CI:-}" ] && werror=ON
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE="${LW_BUILD_TYPE:-RelWithDebInfo}" -DLW_WERROR="$werror" ${LW_CMAKE_ARGS:-}
cmake --build "$build" -j"$(nproc)"

case "$mode" in
  run)  exec tools/run-demo.sh "$build/ledgerwell" ;;
  test) cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" ;;
  build) ;;
  *) echo "usage: $0 [run|test|build]" >&2; exit 2 ;;
esac
