#!/usr/bin/env bash
# The packages, made by cpack and used as a user would.
# Linux: the Debian package from a release build is checked (contents,
# metadata, the manual page's date and version, the icons' pixels,
# desktop-file-validate, appstreamcli, lintian) and made a second time from a
# fresh copy of the tree, which must give the same bytes; it is installed with
# apt-get, its binaries pass hardening-check, and the installed orvanta-public
# runs the Xvfb check as an ordinary user made for the test, whose "Личный
# номер..." gets a copy of user.txt in their own configuration folder (and
# without an opener, a beep); root's edit of the configuration file
# /etc/orvanta/user.txt survives a reinstallation; the package is then purged
# and nothing may be left in /usr or /etc. Windows: the portable zip and the
# installer from the MinGW build, their version resources and icon; the
# installer runs silently under Wine in a fresh prefix, its shortcuts start in
# the user's documents folder, the installed orvanta-public.exe passes the
# smoke test, the personal number the user set survives an upgrade, the
# uninstall and the next installation, and the uninstall leaves nothing else:
# no files, no shortcuts, no entry under HKCU. Nothing may be written into the
# invoking user's desktop menus or icons.
# Needs root (or sudo) for apt-get and the test user. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc 2>/dev/null || echo 2)
[ "$jobs" -le 2 ] || jobs=2
version=$(sed -n 's/^project(Orvanta VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
release_date=$(sed -n 's/^set(ORVANTA_RELEASE_DATE \([0-9-]*\))/\1/p' CMakeLists.txt)

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
# Whatever the tests write into the invoking user's home is found by its time.
touch "$scratch/start"
# pefile reads the Windows files' resources; the system's Python has it.
pe_python=
for candidate in python3 /usr/bin/python3; do
  if "$candidate" -c 'import pefile' 2>/dev/null; then pe_python=$candidate; break; fi
done

# ---------------------------------------------------------------- Linux
step "Debian package: release build and cpack"
deb_name=orvanta_${version}_$(dpkg --print-architecture).deb
make_deb() {  # source tree -> its build/package/$deb_name
  local build=$1/build/package
  cmake -S "$1" -B "$build" -DCMAKE_BUILD_TYPE=Release -DORVANTA_WERROR=ON \
    -DORVANTA_BUILD_TESTS=OFF -DORVANTA_BUILD_BENCH=OFF >/dev/null
  cmake --build "$build" -j "$jobs"
  rm -f "$build"/orvanta_*.deb
  (cd "$build" && cpack -G DEB >/dev/null)
}
make_deb "$root"
deb=$root/build/package/$deb_name
[ -f "$deb" ] || { failed "cpack made no $deb"; exit 1; }
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes"

# The same files in a fresh folder, every file with a new time, as a second
# clone would give them: the package must come out byte for byte the same.
step "Debian package: a second build of the same tree"
again=$scratch/again
mkdir -p "$again"
git ls-files -z --cached --others --exclude-standard | grep -zv '^build/' | while IFS= read -r -d '' file; do
  [ -e "$file" ] && printf '%s\0' "$file"
done | tar -c --null -T - | tar -x -m -C "$again"
make_deb "$again" >"$scratch/again.log" 2>&1 || { cat "$scratch/again.log"; failed "the second build"; }
sums=$(sha256sum "$deb" "$again/build/package/$deb_name" 2>/dev/null || true)
echo "$sums"
if [ "$(echo "$sums" | awk '{ print $1 }' | sort -u | wc -l)" -ne 1 ]; then
  failed "two builds of the same tree give different packages"
  mkdir -p "$scratch/first" "$scratch/second"
  dpkg-deb -R "$deb" "$scratch/first" && dpkg-deb -R "$again/build/package/$deb_name" "$scratch/second" &&
    diff -r "$scratch/first" "$scratch/second" | head -n 20 || true
fi
rm -rf "$again"

step "Debian package: contents and metadata"
# Mode and name, and the target of a link.
dpkg-deb -c "$deb" | awk '{ line = $1 " " $6; if ($7 == "->") line = line " -> " $8; print line }' >"$scratch/contents"
expected=(
  "-rwxr-xr-x ./usr/lib/orvanta/orvanta-public" "-rwxr-xr-x ./usr/lib/orvanta/orvanta-profi"
  "-rw-r--r-- ./usr/lib/orvanta/help.txt" "lrwxrwxrwx ./usr/lib/orvanta/user.txt -> /etc/orvanta/user.txt"
  "-rw-r--r-- ./etc/orvanta/user.txt"
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
[ "$(dpkg-deb -f "$deb" Recommends)" = xdg-utils ] || failed "Recommends is not xdg-utils"
[ "$(dpkg-deb -I "$deb" conffiles 2>/dev/null)" = /etc/orvanta/user.txt ] ||
  failed "the conffiles are not /etc/orvanta/user.txt alone"

dpkg-deb -x "$deb" "$scratch/unpacked"
for entry in "$scratch"/unpacked/usr/share/applications/*.desktop; do
  desktop-file-validate "$entry" || failed "desktop-file-validate $(basename "$entry")"
done
for edition in public profi; do
  grep -qx 'Comment\[ru\]=Объезжайте все города.*' "$scratch/unpacked/usr/share/applications/orvanta-$edition.desktop" ||
    failed "orvanta-$edition.desktop lacks its Russian comment"
  heading=$(zcat "$scratch/unpacked/usr/share/man/man6/orvanta-$edition.6.gz" | grep -m1 '^\.TH')
  [ "$heading" = ".TH ORVANTA 6 \"$release_date\" \"Orvanta $version\" \"Games\"" ] ||
    failed "orvanta-$edition.6 is headed $heading"
done

# The icons: every size a true-colour PNG with alpha (colour type 6), and
# each within a small distance of a smooth downscale of the largest, which
# dithered specks or another picture would exceed.
icons=$scratch/unpacked/usr/share/icons/hicolor
icon_report=
for size in 16 24 32 48 64 128 256; do
  png=$icons/${size}x${size}/apps/orvanta.png
  [ -f "$png" ] || continue
  read -r width height depth colour < <(od -An -tu1 -j16 -N10 "$png" |
    awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4, $5 * 16777216 + $6 * 65536 + $7 * 256 + $8, $9, $10 }')
  [ "$width $height $depth $colour" = "$size $size 8 6" ] ||
    failed "$png: ${width}x${height}, depth $depth, colour type $colour (not 8-bit RGBA)"
  convert "$icons/256x256/apps/orvanta.png" -filter Box -resize "${size}x${size}" "$scratch/smooth.png"
  distance=$({ compare -metric RMSE "$png" "$scratch/smooth.png" null: 2>&1 || true; } | sed -n 's/.*(\([0-9.e-]*\)).*/\1/p')
  LC_ALL=C awk -v d="${distance:-1}" 'BEGIN { exit !(d < 0.03) }' ||
    failed "the ${size}px icon is ${distance:-?} (RMSE) from a smooth downscale"
  icon_report+=" ${size}:RGBA:${distance:-?}"
done
echo "icons (size:type:RMSE from a smooth downscale):$icon_report"

metainfo=$scratch/unpacked/usr/share/metainfo/org.orvanta.orvanta.metainfo.xml
appstreamcli validate --no-net "$metainfo" || failed "appstreamcli validate"
grep -q '<summary xml:lang="ru">' "$metainfo" || failed "the metainfo has no Russian summary"
grep -q '<screenshot type="default">' "$metainfo" || failed "the metainfo has no screenshot"
grep -q "<release version=\"$version\"" "$metainfo" || failed "the metainfo does not name version $version"
lintian_status=0
lintian --pedantic --fail-on error,warning "$deb" >"$scratch/lintian.log" 2>&1 || lintian_status=$?
echo "lintian --pedantic:"
grep -v 'running with root privileges' "$scratch/lintian.log" || true
[ "$lintian_status" -eq 0 ] || failed "lintian reports errors or warnings"

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
# Without the recommended opener, which the purge would leave behind; the
# Xvfb check brings its own.
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$deb" \
  >"$scratch/apt.log" 2>&1 || { cat "$scratch/apt.log"; failed "apt-get install $deb"; exit 1; }
"${as_root[@]}" dpkg --verify orvanta || failed "dpkg --verify after the installation"
[ "$(readlink -f /usr/bin/orvanta-public)" = /usr/lib/orvanta/orvanta-public ] ||
  failed "/usr/bin/orvanta-public does not lead to /usr/lib/orvanta/orvanta-public"

step "Installed binaries: hardening-check"
if command -v hardening-check >/dev/null; then
  # Control-flow protection is compiled in (-fcf-protection), but the linker
  # marks a binary only when every object in it is marked, and the C start
  # files of Debian 12 are not: no binary linked there passes that line
  # (/usr/bin/ls neither), so it is reported and not required.
  hardening-check --nocfprotection /usr/lib/orvanta/orvanta-public /usr/lib/orvanta/orvanta-profi ||
    failed "hardening-check finds unprotected binaries"
else
  failed "hardening-check is missing (Debian package devscripts)"
fi

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

step "Debian package: root's edit of the configuration file survives a reinstallation"
echo 4711 | "${as_root[@]}" tee /etc/orvanta/user.txt >/dev/null
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends --reinstall "$deb" \
  >"$scratch/apt.log" 2>&1 || { cat "$scratch/apt.log"; failed "apt-get install --reinstall $deb"; }
# The program reads it through the file in its folder.
[ "$(cat /usr/lib/orvanta/user.txt)" = 4711 ] || failed "after --reinstall user.txt holds $(cat /usr/lib/orvanta/user.txt)"
changed=$("${as_root[@]}" dpkg --verify orvanta || true)
[ "$changed" = "??5?????? c /etc/orvanta/user.txt" ] || failed "dpkg --verify after the edit: $changed"
echo "kept: /etc/orvanta/user.txt holds $(cat /etc/orvanta/user.txt)"

step "Debian package: purge"
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get purge -y -q orvanta >"$scratch/apt.log" 2>&1 ||
  { cat "$scratch/apt.log"; failed "apt-get purge orvanta"; }
usr_files >"$scratch/usr-after"
left=$(diff "$scratch/usr-before" "$scratch/usr-after" || true)
[ -z "$left" ] || failed "/usr differs after the purge: $left"
[ -z "$(find /usr -xdev -name '*orvanta*' -print -quit)" ] || failed "files named orvanta are left in /usr"
[ ! -e /etc/orvanta ] || failed "/etc/orvanta is left after the purge"
[ -n "$left" ] || echo "nothing is left in /usr or /etc"

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

step "Windows packages: versions and icon"
# The version resource of each program and of the installer, read back: the
# project's version in the fixed part and in the texts.
if [ -n "$pe_python" ]; then
  "$pe_python" - "$version" "$wbuild/app/win32/orvanta-public.exe" "$wbuild/app/win32/orvanta-profi.exe" "$setup" <<'PE' ||
import sys, pefile
version, failures = sys.argv[1], 0
numbers = tuple(int(n) for n in (version.split(".") + ["0"] * 4)[:4])
for path in sys.argv[2:]:
    pe = pefile.PE(path)
    texts = {}
    for info in getattr(pe, "FileInfo", None) or []:
        for entry in info:
            for table in getattr(entry, "StringTable", []):
                texts.update({k.decode(): v.decode() for k, v in table.entries.items()})
    fixed = pe.VS_FIXEDFILEINFO[0] if getattr(pe, "VS_FIXEDFILEINFO", None) else None
    got = fixed and (fixed.FileVersionMS >> 16, fixed.FileVersionMS & 0xFFFF,
                     fixed.FileVersionLS >> 16, fixed.FileVersionLS & 0xFFFF)
    name = path.rsplit("/", 1)[-1]
    print(f"{name}: {got} {texts}")
    wanted = {"ProductName": "Orvanta", "FileVersion": version, "ProductVersion": version}
    if not name.endswith("-setup.exe"):
        wanted["OriginalFilename"] = name
    for key, value in wanted.items():
        if texts.get(key) != value:
            print(f"FAILED: {name}: {key} is {texts.get(key)!r}, not {value!r}")
            failures += 1
    if got != numbers:
        print(f"FAILED: {name}: the fixed version is {got}, not {numbers}")
        failures += 1
sys.exit(failures != 0)
PE
    failed "the version resources"
else
  failed "python3-pefile is missing (Debian package python3-pefile)"
fi
# The icon: true colour in every size from 16 to 256 pixels, the same picture
# as the Linux desktop's icons.
ico=$root/app/win32/orvanta.ico
entries=$(python3 -c '
import struct, sys
data = open(sys.argv[1], "rb").read()
count = struct.unpack("<H", data[4:6])[0]
for i in range(count):
    w, h, colours, _, _, bits = struct.unpack("<BBBBHH", data[6 + 16 * i:14 + 16 * i])
    print(f"{w or 256}x{h or 256}:{bits}bit", end=" ")' "$ico")
echo "orvanta.ico: $entries"
[ "$entries" = "16x16:32bit 24x24:32bit 32x32:32bit 48x48:32bit 64x64:32bit 128x128:32bit 256x256:32bit " ] ||
  failed "orvanta.ico holds $entries"
index=0
for size in 16 24 32 48 64 128 256; do
  convert "$ico[$index]" "$scratch/ico.png" 2>/dev/null || true
  distance=$({ compare -metric RMSE "$scratch/ico.png" "$icons/${size}x${size}/apps/orvanta.png" null: 2>&1 || true; } |
    sed -n 's/.*(\([0-9.e-]*\)).*/\1/p')
  LC_ALL=C awk -v d="${distance:-1}" 'BEGIN { exit !(d < 0.03) }' ||
    failed "the ${size}px image of orvanta.ico is ${distance:-?} (RMSE) from the Linux icon"
  index=$((index + 1))
done
# The installer warns before it is cancelled and shows no tool's name.
script=$wbuild/_CPack_Packages/win64/NSIS/project.nsi
grep -q '^!define MUI_ABORTWARNING' "$script" || failed "the installer does not warn before cancelling"
grep -q '^BrandingText "Orvanta ' "$script" || failed "the installer keeps the default branding text"

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
export WINEPREFIX=$wbuild/wine-install-prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
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
documents='C:\users\'$(id -un)'\Documents'
for link in "Orvanta Public.lnk" "Orvanta Profi.lnk"; do
  [ -f "$menu/$link" ] || { failed "no Start-menu shortcut $link"; continue; }
  # The shortcut's working folder, from the link file's string data.
  folder=$(python3 -c '
import struct, sys
data = open(sys.argv[1], "rb").read()
flags = struct.unpack("<I", data[20:24])[0]
pos = 76
if flags & 0x01: pos += 2 + struct.unpack("<H", data[pos:pos + 2])[0]   # item id list
if flags & 0x02: pos += struct.unpack("<I", data[pos:pos + 4])[0]       # link info
wide = flags & 0x80
for bit in (0x04, 0x08, 0x10):                                          # name, relative path, working folder
    if flags & bit:
        count = struct.unpack("<H", data[pos:pos + 2])[0]
        size = count * (2 if wide else 1)
        text = data[pos + 2:pos + 2 + size].decode("utf-16-le" if wide else "latin-1")
        pos += 2 + size
        if bit == 0x10: print(text.rstrip("\0"))' "$menu/$link")
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
echo "after the uninstall: $failures failures so far"
wineserver -k 2>/dev/null || true
rm -rf "$WINEPREFIX"


step "Nothing written into the invoking user's desktop"
# Wine's menu builder would put entries and icons of the installed shortcuts here.
written=$(find "$HOME/.local/share" "$HOME/.config/menus" -newer "$scratch/start" \
  \( -iname '*orvanta*' -o -path '*/applications/wine/*' -o -iname '*wine*' \) -print 2>/dev/null | head -n 5 || true)
[ -z "$written" ] || failed "written into $HOME: $written"
[ -n "$written" ] || echo "nothing new in $HOME/.local/share or $HOME/.config/menus"

echo
echo "packages: $failures failed"
[ "$failures" -eq 0 ]
