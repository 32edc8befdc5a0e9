#!/usr/bin/env bash
# The Windows packages, made by cpack from the MinGW build and used as a user
# would: the portable zip and the installer, their version resources, the
# programs' manifests and the icon; a second build of the same tree in
# another folder must give the same zip and installer. The installer runs
# silently under Wine in a fresh prefix, its shortcuts start in the user's
# documents folder, the installed orvanta-public.exe passes the smoke test,
# the personal number the user set survives an upgrade, the uninstall and the
# next installation, and the uninstall leaves nothing else: no files, no
# shortcuts, no entry under HKCU, and no folder at all when the user never
# set a number. Nothing may be written into the invoking user's desktop menus
# or icons. Exits non-zero on any failure.
source "$(dirname "$0")/test-packages-lib.sh"
files_py=$root/tests/packages/windows_files.py
# Whatever the tests write into the invoking user's home is found by its time.
touch "$scratch/start"
# pefile reads the Windows files' resources; the system's Python has it.
pe_python=
for candidate in python3 /usr/bin/python3; do
  if "$candidate" -c 'import pefile' 2>/dev/null; then pe_python=$candidate; break; fi
done
xvfb_pid=
cleanup_steps+=('[ -z "${WINEPREFIX:-}" ] || wineserver -k 2>/dev/null || true' '[ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true')

step "Windows packages: MinGW build and cpack"
if ! command -v x86_64-w64-mingw32-g++ >/dev/null || ! command -v makensis >/dev/null; then
  failed "x86_64-w64-mingw32-g++ or makensis is missing (Debian packages g++-mingw-w64-x86-64, nsis)"
  exit 1
fi
make_windows_packages() {  # source tree -> its build/windows with the zip and the installer
  local build=$1/build/windows
  # The configuration of scripts/test-windows.sh, so that both share one build.
  cmake -S "$1" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$1/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DORVANTA_WERROR=ON -DORVANTA_BUILD_BENCH=OFF -DORVANTA_BUILD_QT=OFF >/dev/null
  cmake --build "$build" -j "$jobs"
  rm -rf "$build"/orvanta-*-win64* "$build/_CPack_Packages"
  (cd "$build" && cpack >/dev/null)
}
make_windows_packages "$root"
wbuild=$root/build/windows
zip=$wbuild/orvanta-$version-win64.zip
setup=$wbuild/orvanta-$version-win64-setup.exe
for package in "$zip" "$setup"; do
  [ -f "$package" ] && echo "$(basename "$package"): $(stat -c %s "$package") bytes" || failed "cpack made no $package"
done
[ -f "$zip" ] && [ -f "$setup" ] || exit 1
listing=$(python3 "$files_py" zip-names "$zip")
want=$(printf "orvanta-$version-win64/%s\n" help.en.txt help.txt orvanta-profi.exe orvanta-public.exe user.txt)
[ "$listing" = "$want" ] || failed "the zip holds: $listing"
# No administrator prompt: the installer asks to run as the user who starts it.
grep -aq 'requestedExecutionLevel level="asInvoker"' "$setup" || failed "the installer asks for more than the user's rights"

# The same files in a fresh folder, every file with a new time, packed in
# another time zone: the zip and the installer must come out byte for byte
# the same.
step "Windows packages: a second build of the same tree in another folder and time zone"
again=$scratch/again
copy_tree "$again"
if TZ=Pacific/Kiritimati make_windows_packages "$again" >"$scratch/again.log" 2>&1; then
  same_bytes "two builds give different zips" "$zip" "$again/build/windows/$(basename "$zip")" || true
  same_bytes "two builds give different installers" "$setup" "$again/build/windows/$(basename "$setup")" || true
else
  tail -n 40 "$scratch/again.log"
  failed "the second build"
fi
rm -rf "$again"

step "Windows packages: versions and icon"
# The version resource of each program and of the installer, read back: the
# project's version in the fixed part and in the texts.
if [ -n "$pe_python" ]; then
  "$pe_python" "$files_py" versions "$version" "$wbuild/app/win32/orvanta-public.exe" \
    "$wbuild/app/win32/orvanta-profi.exe" "$setup" ||
    failed "the version resources"
else
  failed "python3-pefile is missing (Debian package python3-pefile)"
fi
# The icon: true colour in every size from 16 to 256 pixels, each within a
# small distance of a smooth downscale of the program's picture.
ico=$root/app/win32/orvanta.ico
entries=$(python3 "$files_py" icon-sizes "$ico")
echo "orvanta.ico: $entries"
[ "$entries" = "16x16:32bit 24x24:32bit 32x32:32bit 48x48:32bit 64x64:32bit 128x128:32bit 256x256:32bit" ] ||
  failed "orvanta.ico holds $entries"
index=0
for size in 16 24 32 48 64 128 256; do
  convert "$ico[$index]" "$scratch/ico.png" 2>/dev/null || true
  convert "$root/app/qt/orvanta.png" -filter Box -resize "${size}x${size}" "$scratch/smooth.png"
  distance=$({ compare -metric RMSE "$scratch/ico.png" "$scratch/smooth.png" null: 2>&1 || true; } |
    sed -n 's/.*(\([0-9.e-]*\)).*/\1/p')
  LC_ALL=C awk -v d="${distance:-1}" 'BEGIN { exit !(d < 0.03) }' ||
    failed "the ${size}px image of orvanta.ico is ${distance:-?} (RMSE) from a smooth downscale"
  index=$((index + 1))
done
# The installer warns before it is cancelled and shows no tool's name.
script=$wbuild/_CPack_Packages/win64/NSIS/project.nsi
grep -q '^!define MUI_ABORTWARNING' "$script" || failed "the installer does not warn before cancelling"
grep -q '^BrandingText "Orvanta ' "$script" || failed "the installer keeps the default branding text"

if ! command -v wine >/dev/null; then
  step "Wine is not installed: the installer is not run"
  finish packages-windows
  exit
fi

step "Installer under Wine, in a fresh prefix"
display_file=$scratch/display
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$display_file" ] && break; sleep 0.1; done
[ -s "$display_file" ] || { failed "Xvfb did not start"; exit 1; }
export DISPLAY=":$(cat "$display_file")"
export WINEPREFIX=$wbuild/wine-install-prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
rm -rf "$WINEPREFIX"
tests/windows/make_prefix.sh || { failed "no Wine prefix"; exit 1; }

uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvanta'
timeout 120 wine "$setup" /S || failed "the silent installer ended with an error"
timeout 60 wineserver -w || true
users=$WINEPREFIX/drive_c/users/$(id -un)
installed=$users/AppData/Local/Programs/Orvanta
menu=$users/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs/Orvanta
for file in orvanta-public.exe orvanta-profi.exe help.txt help.en.txt user.txt uninstall.exe; do
  [ -f "$installed/$file" ] || failed "not installed: $installed/$file"
done
documents='C:\users\'$(id -un)'\Documents'
for link in "Orvanta Public.lnk" "Orvanta Profi.lnk"; do
  [ -f "$menu/$link" ] || { failed "no Start-menu shortcut $link"; continue; }
  # The shortcut's working folder, from the link file's string data.
  folder=$(python3 "$files_py" shortcut-folder "$menu/$link")
  [ "${folder,,}" = "${documents,,}" ] || failed "$link starts in '$folder', not in $documents"
done
echo "the shortcuts start in $documents"
uninstall_string=$(timeout 60 wine reg query "$uninstall_key" /v UninstallString 2>/dev/null | tr -d '\r' |
  awk '/UninstallString/ { $1 = $2 = ""; sub(/^ +/, ""); print }' || true)
[ -n "$uninstall_string" ] || failed "no uninstall entry under $uninstall_key"
echo "installed in $installed; uninstall entry: $uninstall_string"

step "Smoke test of the installed orvanta-public.exe"
timeout 180 tests/windows/smoke.sh "$installed/orvanta-public.exe" public C.UTF-8 "$wbuild/install-smoke" in-place ||
  failed "smoke test of the installed orvanta-public.exe"
timeout 60 wineserver -w || wineserver -k || true

# The user's personal number, as Notepad would save it.
printf '4711\r\n' >"$installed/user.txt"
number_kept() { [ "$(tr -d '\r\n' <"$installed/user.txt" 2>/dev/null)" = 4711 ]; }

step "Installing over the installation keeps the personal number"
timeout 120 wine "$setup" /S || failed "the silent installer ended with an error over an installation"
timeout 60 wineserver -w || true
number_kept || failed "installing again replaced user.txt"

step "Silent uninstall"
uninstall() {
  timeout 120 wine "$installed/uninstall.exe" /S || failed "the silent uninstaller ended with an error"
  # The uninstaller runs on from a copy of itself: wait for it to end.
  timeout 60 wineserver -w || true
}
uninstall
# Only the user's own file stays, in its folder.
left=$(ls -A "$installed" 2>/dev/null | tr '\n' ' ')
[ "$left" = "user.txt " ] || failed "left after the uninstall: '$left', not user.txt alone"
number_kept || failed "the uninstall did not keep user.txt"
[ ! -e "$menu" ] || failed "the Start-menu folder is left after the uninstall"
if timeout 60 wine reg query "$uninstall_key" >/dev/null 2>&1; then failed "the uninstall entry is left"; fi
timeout 60 wineserver -w || true

step "Installing anew finds the personal number"
timeout 120 wine "$setup" /S || failed "the silent installer ended with an error after an uninstall"
timeout 60 wineserver -w || true
[ -f "$installed/orvanta-public.exe" ] || failed "the installation after the uninstall is missing its programs"
number_kept || failed "the installation after the uninstall replaced user.txt"
uninstall

step "A fresh installation, uninstalled, leaves no folder"
rm -rf "$installed"
timeout 120 wine "$setup" /S || failed "the silent installer ended with an error in an empty folder"
timeout 60 wineserver -w || true
[ -f "$installed/user.txt" ] || failed "the fresh installation has no user.txt"
uninstall
[ ! -e "$installed" ] || failed "left after uninstalling a fresh installation: $(ls -A "$installed" | tr '\n' ' ')"
echo "after the uninstall: $failures failures so far"
wineserver -k 2>/dev/null || true
rm -rf "$WINEPREFIX"


step "Nothing written into the invoking user's desktop"
# Wine's menu builder would put entries and icons of the installed shortcuts here.
written=$(find "$HOME/.local/share" "$HOME/.config/menus" -newer "$scratch/start" \
  \( -iname '*orvanta*' -o -path '*/applications/wine/*' -o -iname '*wine*' \) -print 2>/dev/null | head -n 5 || true)
[ -z "$written" ] || failed "written into $HOME: $written"
[ -n "$written" ] || echo "nothing new in $HOME/.local/share or $HOME/.config/menus"

finish packages-windows
