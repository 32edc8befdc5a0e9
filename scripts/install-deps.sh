#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages the build and the tests need, when missing.
# Usage: scripts/install-deps.sh [run|web|test]
set -euo pipefail

# qt6-translations-l10n: Qt's own dialogs in the user's language.
# devscripts: hardening-check; python3-pefile: the Windows files' versions;
# debhelper and fakeroot: the source package's build; locales-all: the
# Russian locale its tests run in (one of its Build-Depends); gettext: the
# catalogues' check (msgfmt, xgettext).
run_packages=(cmake g++ make qt6-base-dev qt6-translations-l10n fonts-dejavu-core)
test_packages=(libgtest-dev libbenchmark-dev clang libclang-rt-dev
               xvfb xauth xdotool x11-utils imagemagick
               g++-mingw-w64-x86-64 locales faketime openbox
               dpkg-dev lintian appstream desktop-file-utils nsis python3
               devscripts python3-pefile debhelper fakeroot locales-all
               emscripten chromium chromium-driver python3-selenium gettext)
# The web edition: Emscripten builds it, Python serves it.
web_packages=(cmake make emscripten python3 imagemagick)
# The Windows smoke test is skipped, and says so, where Wine cannot be had.
optional_packages=(wine wine64)

wanted=("${run_packages[@]}")
if [ "${1:-test}" = test ]; then wanted+=("${test_packages[@]}"); fi
if [ "${1:-test}" = web ]; then wanted=("${web_packages[@]}"); fi

missing_of() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}
mapfile -t missing < <(missing_of "${wanted[@]}")
optional=()
[ "${1:-test}" = test ] && mapfile -t optional < <(missing_of "${optional_packages[@]}")
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

# The tests read the status texts under locales that write a decimal comma,
# and start the program under a Russian and an English locale.
test_locales=(ru_RU.UTF-8 de_DE.UTF-8 en_US.UTF-8)
generate_locales() {
  local l wanted_locales=()
  for l in "${test_locales[@]}"; do
    locale -a 2>/dev/null | grep -qix "${l%%.*}\.utf-\?8" || wanted_locales+=("$l")
  done
  [ ${#wanted_locales[@]} -eq 0 ] && return 0
  echo "Generating locales: ${wanted_locales[*]}"
  for l in "${wanted_locales[@]}"; do
    "${sudo_cmd[@]}" sed -i "s/^# *\($l UTF-8\)/\1/" /etc/locale.gen
    grep -qx "$l UTF-8" /etc/locale.gen || echo "$l UTF-8" | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  done
  "${sudo_cmd[@]}" locale-gen
}

if [ ${#missing[@]} -eq 0 ] && [ ${#optional[@]} -eq 0 ]; then
  [ "${1:-test}" = test ] && generate_locales
  exit 0
fi

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
[ "${1:-test}" = test ] && generate_locales
exit 0
