#!/usr/bin/env bash
# The packages, made by cpack and used as a user would.
# Linux: the Debian package from a release build is checked (contents,
# desktop-file-validate, appstreamcli, lintian), installed with apt-get, and
# the installed orvanta-public runs the Xvfb check as an ordinary user made
# for the test, whose "Личный номер..." gets a copy of user.txt in their own
# configuration folder; the package is then purged and nothing may be left in
# /usr. Windows: the portable zip and the installer from the MinGW build; the
# installer runs silently under Wine in a fresh prefix, the installed
# orvanta-public.exe passes the smoke test, and the silent uninstall leaves
# neither files, nor shortcuts, nor its entry under HKCU.
# Needs root (or sudo) for apt-get and the test user. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc 2>/dev/null || echo 2)
[ "$jobs" -le 2 ] || jobs=2
version=$(sed -n 's/^project(Orvanta VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)

failures=0
step() { echo; echo "--- $*"; }
failed() { echo "FAILED: $*"; failures=$((failures + 1)); }
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)

scratch=$(mktemp -d)
chmod 755 "$scratch"
test_user=
xvfb_pid=
cleanup() {
  [ -z "$test_user" ] || "${as_root[@]}" userdel --remove "$test_user" 2>/dev/null || true
  [ -z "${WINEPREFIX:-}" ] || wineserver -k 2>/dev/null || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

# ---------------------------------------------------------------- Linux
step "Debian package: release build and cpack"
build=$root/build/package
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DORVANTA_WERROR=ON \
  -DORVANTA_BUILD_TESTS=OFF -DORVANTA_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$jobs"
rm -f "$build"/orvanta_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$build/orvanta_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { failed "cpack made no $deb"; exit 1; }
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes"

step "Debian package: contents and metadata"
# Mode and name, and the target of a link.
dpkg-deb -c "$deb" | awk '{ line = $1 " " $6; if ($7 == "->") line = line " -> " $8; print line }' >"$scratch/contents"
expected=(
  "-rwxr-xr-x ./usr/lib/orvanta/orvanta-public" "-rwxr-xr-x ./usr/lib/orvanta/orvanta-profi"
  "-rw-r--r-- ./usr/lib/orvanta/help.txt" "-rw-r--r-- ./usr/lib/orvanta/user.txt"
  "lrwxrwxrwx ./usr/bin/orvanta-public -> ../lib/orvanta/orvanta-public"
  "lrwxrwxrwx ./usr/bin/orvanta-profi -> ../lib/orvanta/orvanta-profi"
  "-rw-r--r-- ./usr/share/applications/orvanta-public.desktop"
  "-rw-r--r-- ./usr/share/applications/orvanta-profi.desktop"
  "-rw-r--r-- ./usr/share/metainfo/org.orvanta.orvanta.metainfo.xml"
  "-rw-r--r-- ./usr/share/doc/orvanta/copyright" "-rw-r--r-- ./usr/share/doc/orvanta/changelog.gz"
  "-rw-r--r-- ./usr/share/man/man6/orvanta-public.6.gz" "-rw-r--r-- ./usr/share/man/man6/orvanta-profi.6.gz")
for size in 16 24 32 48 64 128 256; do
  expected+=("-rw-r--r-- ./usr/share/icons/hicolor/${size}x${size}/apps/orvanta.png")
done
for line in "${expected[@]}"; do
  grep -qxF -e "$line" "$scratch/contents" || failed "the package lacks: $line"
done
strays=$(grep -v '^d' "$scratch/contents" | grep -vxF -f <(printf '%s\n' "${expected[@]}") || true)
[ -z "$strays" ] || failed "the package holds more than expected: $strays"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for library in libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6 libc6 qt6-qpa-plugins; do
  case ", $depends," in *", $library "*|*", $library,"*) ;; *) failed "Depends lacks $library" ;; esac
done

dpkg-deb -x "$deb" "$scratch/unpacked"
for entry in "$scratch"/unpacked/usr/share/applications/*.desktop; do
  desktop-file-validate "$entry" || failed "desktop-file-validate $(basename "$entry")"
done
metainfo=$scratch/unpacked/usr/share/metainfo/org.orvanta.orvanta.metainfo.xml
appstreamcli validate --no-net "$metainfo" || failed "appstreamcli validate"
grep -q '<summary xml:lang="ru">' "$metainfo" || failed "the metainfo has no Russian summary"
grep -q '<screenshot type="default">' "$metainfo" || failed "the metainfo has no screenshot"
grep -q "<release version=\"$version\"" "$metainfo" || failed "the metainfo does not name version $version"
lintian_status=0
lintian --fail-on error "$deb" >"$scratch/lintian.log" 2>&1 || lintian_status=$?
grep -v 'running with root privileges' "$scratch/lintian.log" || true
[ "$lintian_status" -eq 0 ] || failed "lintian reports errors"

step "Debian package: install with apt-get"
if dpkg-query -W -f='${Status}' orvanta 2>/dev/null | grep -q installed; then
  "${as_root[@]}" apt-get purge -y -q orvanta >/dev/null
fi
# Caches that the desktop's package triggers rebuild may appear in /usr;
# they are not the package's.
usr_files() {
  find /usr -xdev \( -name icon-theme.cache -o -name mimeinfo.cache -o -name '*.pyc' \) -prune -o -print | sort
}
usr_files >"$scratch/usr-before"
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$deb" >"$scratch/apt.log" 2>&1 ||
  { cat "$scratch/apt.log"; failed "apt-get install $deb"; exit 1; }
"${as_root[@]}" dpkg --verify orvanta || failed "dpkg --verify after the installation"
[ "$(readlink -f /usr/bin/orvanta-public)" = /usr/lib/orvanta/orvanta-public ] ||
  failed "/usr/bin/orvanta-public does not lead to /usr/lib/orvanta/orvanta-public"

step "Installed orvanta-public under Xvfb, as an ordinary user"
test_user=orvanta-test-$$
home=$scratch/home
"${as_root[@]}" useradd --create-home --home-dir "$home" --shell /bin/sh --user-group "$test_user"
# The checks run from a copy the user can read, wherever this tree lies.
mkdir -p "$scratch/checks/tests/qt" "$scratch/checks/scripts"
cp tests/qt/xvfb_smoke.sh "$scratch/checks/tests/qt/"
cp scripts/screenshot.sh "$scratch/checks/scripts/"
copy=$home/.config/orvanta/user.txt
if "${as_root[@]}" runuser -u "$test_user" -- env -i HOME="$home" USER="$test_user" PATH=/usr/bin:/bin \
     LANG=C.UTF-8 timeout 180 "$scratch/checks/tests/qt/xvfb_smoke.sh" /usr/bin/orvanta-public public \
     "$home/smoke" "" "$copy"; then
  cmp -s "$copy" /usr/lib/orvanta/user.txt || failed "the user's copy differs from /usr/lib/orvanta/user.txt"
  [ "$(stat -c %U "$copy")" = "$test_user" ] || failed "the user's copy belongs to $(stat -c %U "$copy")"
  echo "the user's copy: $copy"
else
  failed "the Xvfb check of the installed orvanta-public"
fi
"${as_root[@]}" dpkg --verify orvanta || failed "the program changed its installed files"
"${as_root[@]}" userdel --remove "$test_user" 2>/dev/null || true
test_user=

step "Debian package: purge"
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get purge -y -q orvanta >"$scratch/apt.log" 2>&1 ||
  { cat "$scratch/apt.log"; failed "apt-get purge orvanta"; }
usr_files >"$scratch/usr-after"
left=$(diff "$scratch/usr-before" "$scratch/usr-after" || true)
[ -z "$left" ] || failed "/usr differs after the purge: $left"
[ -z "$(find /usr -xdev -name '*orvanta*' -print -quit)" ] || failed "files named orvanta are left in /usr"
[ -n "$left" ] || echo "nothing is left in /usr"

# ---------------------------------------------------------------- Windows
step "Windows packages: MinGW build and cpack"
if ! command -v x86_64-w64-mingw32-g++ >/dev/null || ! command -v makensis >/dev/null; then
  failed "x86_64-w64-mingw32-g++ or makensis is missing (Debian packages g++-mingw-w64-x86-64, nsis)"
  exit 1
fi
wbuild=$root/build/windows
# The configuration of scripts/test-windows.sh, so that both share one build.
cmake -S . -B "$wbuild" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DORVANTA_WERROR=ON -DORVANTA_BUILD_BENCH=OFF -DORVANTA_BUILD_QT=OFF >/dev/null
cmake --build "$wbuild" -j "$jobs"
rm -f "$wbuild"/orvanta-*-win64*
(cd "$wbuild" && cpack >/dev/null)
zip=$wbuild/orvanta-$version-win64.zip
setup=$wbuild/orvanta-$version-win64-setup.exe
for package in "$zip" "$setup"; do
  [ -f "$package" ] && echo "$(basename "$package"): $(stat -c %s "$package") bytes" || failed "cpack made no $package"
done
[ -f "$zip" ] && [ -f "$setup" ] || exit 1
listing=$(python3 -c 'import sys, zipfile; print("\n".join(sorted(zipfile.ZipFile(sys.argv[1]).namelist())))' "$zip")
want=$(printf "orvanta-$version-win64/%s\n" help.txt orvanta-profi.exe orvanta-public.exe user.txt)
[ "$listing" = "$want" ] || failed "the zip holds: $listing"
# No administrator prompt: the installer asks to run as the user who starts it.
grep -aq 'requestedExecutionLevel level="asInvoker"' "$setup" || failed "the installer asks for more than the user's rights"

if ! command -v wine >/dev/null; then
  step "Wine is not installed: the installer is not run"
  echo "packages: $failures failed"
  [ "$failures" -eq 0 ]
  exit
fi

step "Installer under Wine, in a fresh prefix"
display_file=$scratch/display
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$display_file" ] && break; sleep 0.1; done
[ -s "$display_file" ] || { failed "Xvfb did not start"; exit 1; }
export DISPLAY=":$(cat "$display_file")"
export WINEPREFIX=$wbuild/wine-install-prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$WINEPREFIX"
tests/windows/make_prefix.sh || { failed "no Wine prefix"; exit 1; }

uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvanta'
timeout 120 wine "$setup" /S || failed "the silent installer ended with an error"
timeout 60 wineserver -w || true
users=$WINEPREFIX/drive_c/users/$(id -un)
installed=$users/AppData/Local/Programs/Orvanta
menu=$users/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs/Orvanta
for file in orvanta-public.exe orvanta-profi.exe help.txt user.txt uninstall.exe; do
  [ -f "$installed/$file" ] || failed "not installed: $installed/$file"
done
for link in "Orvanta Public.lnk" "Orvanta Profi.lnk"; do
  [ -f "$menu/$link" ] || failed "no Start-menu shortcut $link"
done
uninstall_string=$(timeout 60 wine reg query "$uninstall_key" /v UninstallString 2>/dev/null | tr -d '\r' |
  awk '/UninstallString/ { $1 = $2 = ""; sub(/^ +/, ""); print }' || true)
[ -n "$uninstall_string" ] || failed "no uninstall entry under $uninstall_key"
echo "installed in $installed; uninstall entry: $uninstall_string"

step "Smoke test of the installed orvanta-public.exe"
timeout 180 tests/windows/smoke.sh "$installed/orvanta-public.exe" public C.UTF-8 "$wbuild/install-smoke" in-place ||
  failed "smoke test of the installed orvanta-public.exe"
timeout 60 wineserver -w || wineserver -k || true

step "Silent uninstall"
timeout 120 wine "$installed/uninstall.exe" /S || failed "the silent uninstaller ended with an error"
# The uninstaller runs on from a copy of itself: wait for it to end.
timeout 60 wineserver -w || true
[ ! -e "$installed" ] || failed "left after the uninstall: $(ls -A "$installed" | tr '\n' ' ')"
[ ! -e "$menu" ] || failed "the Start-menu folder is left after the uninstall"
if timeout 60 wine reg query "$uninstall_key" >/dev/null 2>&1; then failed "the uninstall entry is left"; fi
timeout 60 wineserver -w || true
echo "after the uninstall: $failures failures so far"
wineserver -k 2>/dev/null || true
rm -rf "$WINEPREFIX"

echo
echo "packages: $failures failed"
[ "$failures" -eq 0 ]
