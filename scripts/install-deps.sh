#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages the build and the tests need, when missing.
# Usage: scripts/install-deps.sh [run|test]
set -euo pipefail

run_packages=(cmake g++ make qt6-base-dev fonts-dejavu-core)
test_packages=(libgtest-dev libbenchmark-dev clang libclang-rt-dev
               xvfb xauth xdotool x11-utils imagemagick
               g++-mingw-w64-x86-64 locales
               dpkg-dev lintian appstream desktop-file-utils nsis python3)
# The Windows smoke test is skipped, and says so, where Wine cannot be had.
optional_packages=(wine wine64)

wanted=("${run_packages[@]}")
if [ "${1:-test}" = test ]; then wanted+=("${test_packages[@]}"); fi

missing_of() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}
mapfile -t missing < <(missing_of "${wanted[@]}")
optional=()
[ "${1:-test}" = test ] && mapfile -t optional < <(missing_of "${optional_packages[@]}")
[ ${#missing[@]} -eq 0 ] && [ ${#optional[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
if [ ${#optional[@]} -gt 0 ]; then
  echo "Installing (optional): ${optional[*]}"
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${optional[@]}" ||
    echo "Optional packages could not be installed: ${optional[*]}"
fi
