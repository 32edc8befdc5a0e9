#!/usr/bin/env bash
# The Debian packages, built and used as a distribution and a user would.
# The source package, the release package, is built with its tests by
# dpkg-buildpackage in a copy of the tree (the binary package, its -dbgsym
# package, .buildinfo and .changes) and linted; no test may be skipped. The cpack package from a release build is checked (contents,
# metadata, the manual page's date and version, the icons' pixels,
# desktop-file-validate, appstreamcli, lintian) and made again from a fresh
# copy of the tree under umask 077, another time zone and locale, and once
# more under umask 002: all must give the same bytes. It is installed with
# apt-get, its binaries pass hardening-check, and the installed orvanta-public
# runs the Xvfb check as an ordinary user made for the test, whose "Личный
# номер..." gets a copy of user.txt in their own configuration folder (and
# without an opener, a beep and a box), and as root, whose copy goes to
# root's own folder, not into /etc; root's edit of the configuration file
# /etc/orvanta/user.txt survives installing the source-built package over it;
# the package is then purged and nothing may be left in /usr or /etc, nor the
# test user and their files.
# Needs root (or sudo) for apt-get and the test user. Exits non-zero on any failure.
source "$(dirname "$0")/test-packages-lib.sh"
arch=$(dpkg --print-architecture)
deb_name=orvanta_${version}_$arch.deb
# cpack's package is built another way and carries a version of its own.
cpack_version=$version~cpack
cpack_deb_name=orvanta_${cpack_version}_$arch.deb

step "Debian source package: dpkg-buildpackage with its tests in a copy of the tree"
source_tree=$scratch/source/orvanta-$version
copy_tree "$source_tree"
# As the README gives it and a distribution builds: no compiler launcher, the
# tests run with only the Build-Depends' tools (scripts/install-deps.sh test
# installs them here).
if (cd "$source_tree" && env -u CMAKE_CXX_COMPILER_LAUNCHER -u CMAKE_C_COMPILER_LAUNCHER \
      DEB_BUILD_OPTIONS="parallel=$jobs" dpkg-buildpackage -us -uc) >"$scratch/dpkg-buildpackage.log" 2>&1; then
  for file in "orvanta_$version.dsc" "orvanta_$version.tar.xz" "$deb_name" "orvanta-dbgsym_${version}_$arch.deb" \
              "orvanta_${version}_$arch.buildinfo" "orvanta_${version}_$arch.changes"; do
    [ -f "$scratch/source/$file" ] && echo "$file" || failed "dpkg-buildpackage made no $file"
  done
else
  tail -n 40 "$scratch/dpkg-buildpackage.log"
  failed "dpkg-buildpackage -us -uc"
fi
source_deb=$scratch/source/$deb_name
# Its tests ran, every one of them.
summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$scratch/dpkg-buildpackage.log" || true)
echo "the source package's tests: ${summary:-no test summary}"
[ -n "$summary" ] || failed "dpkg-buildpackage ran no tests"
! grep -qE '\*\*\*Skipped|Not Run' "$scratch/dpkg-buildpackage.log" || failed "tests were skipped in the source package's build"
# dpkg's optimisation level, not CMake's release level on top of it.
compiles=$(grep -c ' -c .*\.cpp$' "$scratch/dpkg-buildpackage.log" || true)
optimised=$(grep ' -c .*\.cpp$' "$scratch/dpkg-buildpackage.log" | grep -c -- ' -O2 ' || true)
echo "compiler calls: $compiles, with -O2: $optimised, with -O3: $(grep -c -- ' -O3 ' "$scratch/dpkg-buildpackage.log" || true)"
[ "$compiles" -gt 0 ] && [ "$optimised" -eq "$compiles" ] || failed "not every compiler call has dpkg's -O2"
! grep -q -- ' -O3 ' "$scratch/dpkg-buildpackage.log" || failed "the source package's build adds -O3"
if [ -f "$source_deb" ]; then
  [ "$(dpkg-deb -f "$source_deb" Version)" = "$version" ] || failed "the source-built package is not version $version"
  echo "lintian --pedantic on the source package's files:"
  lintian_status=0
  lintian --pedantic --fail-on error,warning "$scratch/source/orvanta_${version}_$arch.changes" \
    >"$scratch/lintian.log" 2>&1 || lintian_status=$?
  grep -v 'running with root privileges' "$scratch/lintian.log" || true
  [ "$lintian_status" -eq 0 ] || failed "lintian reports errors or warnings on the source package's files"
fi

step "Debian package: release build and cpack"
make_deb() {  # source tree -> its build/package/$deb_name
  local build=$1/build/package
  cmake -S "$1" -B "$build" -DCMAKE_BUILD_TYPE=Release -DORVANTA_WERROR=ON \
    -DORVANTA_BUILD_TESTS=OFF -DORVANTA_BUILD_BENCH=OFF >/dev/null
  cmake --build "$build" -j "$jobs"
  rm -rf "$build"/orvanta_*.deb "$build/_CPack_Packages"
  (cd "$build" && cpack -G DEB >/dev/null)
}
(umask 022 && make_deb "$root")
deb=$root/build/package/$cpack_deb_name
[ -f "$deb" ] || { failed "cpack made no $deb"; exit 1; }
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes"

# The same files in a fresh folder, every file with a new time, built under
# umask 077 in another time zone and locale, then packed again under umask
# 002: each package must come out byte for byte the same as the first.
step "Debian package: built again under umask 077, in another time zone and locale, and packed under umask 002"
again=$scratch/again
copy_tree "$again"
compare_deb() {  # what package
  same_bytes "$1" "$deb" "$2" && return
  mkdir -p "$scratch/first" "$scratch/second"
  dpkg-deb -R "$deb" "$scratch/first" && dpkg-deb -R "$2" "$scratch/second" &&
    diff -r --no-dereference "$scratch/first" "$scratch/second" | head -n 20 || true
  diff <(dpkg-deb -c "$deb") <(dpkg-deb -c "$2") | head -n 20 || true
  rm -rf "$scratch/first" "$scratch/second"
}
if (umask 077 && TZ=Pacific/Kiritimati LC_ALL=ru_RU.UTF-8 LANG=ru_RU.UTF-8 make_deb "$again") >"$scratch/again.log" 2>&1; then
  compare_deb "the packages built under umask 022 and 077 differ" "$again/build/package/$cpack_deb_name"
  (umask 002 && cd "$again/build/package" && rm -rf orvanta_*.deb _CPack_Packages && cpack -G DEB >/dev/null) ||
    failed "cpack under umask 002"
  compare_deb "the packages packed under umask 022 and 002 differ" "$again/build/package/$cpack_deb_name"
else
  tail -n 40 "$scratch/again.log"
  failed "the build under umask 077"
fi
rm -rf "$again"

step "Debian package: contents and metadata"
# Mode and name, and the target of a link.
dpkg-deb -c "$deb" | awk '{ line = $1 " " $6; if ($7 == "->") line = line " -> " $8; print line }' >"$scratch/contents"
expected=(
  "-rwxr-xr-x ./usr/lib/orvanta/orvanta-public" "-rwxr-xr-x ./usr/lib/orvanta/orvanta-profi"
  "lrwxrwxrwx ./usr/lib/orvanta/help.txt -> ../../share/orvanta/help.txt" "-rw-r--r-- ./usr/share/orvanta/help.txt"
  "lrwxrwxrwx ./usr/lib/orvanta/user.txt -> /etc/orvanta/user.txt" "-rw-r--r-- ./usr/share/lintian/overrides/orvanta"
  "-rw-r--r-- ./etc/orvanta/user.txt"
  "lrwxrwxrwx ./usr/games/orvanta-public -> ../lib/orvanta/orvanta-public"
  "lrwxrwxrwx ./usr/games/orvanta-profi -> ../lib/orvanta/orvanta-profi"
  "-rw-r--r-- ./usr/share/applications/orvanta-public.desktop"
  "-rw-r--r-- ./usr/share/applications/orvanta-profi.desktop"
  "-rw-r--r-- ./usr/share/metainfo/org.orvanta.orvanta.metainfo.xml"
  "-rw-r--r-- ./usr/share/doc/orvanta/copyright" "-rw-r--r-- ./usr/share/doc/orvanta/changelog.gz"
  "-rw-r--r-- ./usr/share/man/man6/orvanta-public.6.gz"
  "lrwxrwxrwx ./usr/share/man/man6/orvanta-profi.6.gz -> orvanta-public.6.gz")
for size in 16 24 32 48 64 128 256; do
  expected+=("-rw-r--r-- ./usr/share/icons/hicolor/${size}x${size}/apps/orvanta.png")
done
for line in "${expected[@]}"; do
  grep -qxF -e "$line" "$scratch/contents" || failed "the package lacks: $line"
done
strays=$(grep -v '^d' "$scratch/contents" | grep -vxF -f <(printf '%s\n' "${expected[@]}") || true)
[ -z "$strays" ] || failed "the package holds more than expected: $strays"
# Every folder rwxr-xr-x, whatever the umask of the build.
odd_folders=$(grep '^d' "$scratch/contents" | grep -v '^drwxr-xr-x ' || true)
[ -z "$odd_folders" ] || failed "folders not rwxr-xr-x: $odd_folders"
# The source package installs the same files, links and folders, and
# debhelper adds the lintian overrides.
if [ -f "$source_deb" ]; then
  listing() {
    dpkg-deb -c "$1" | awk '{ line = $1 " " $6; if ($7 == "->") line = line " -> " $8; print line }' |
      grep -v -e ' \./$' -e ' \./usr/share/lintian/' | sort
  }
  differ=$(diff <(listing "$deb") <(listing "$source_deb") || true)
  [ -z "$differ" ] || failed "the cpack and the source-built packages hold different files: $differ"
fi
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for library in libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6 libc6 qt6-qpa-plugins; do
  case ", $depends," in *", $library "*|*", $library,"*) ;; *) failed "Depends lacks $library" ;; esac
done
[ "$(dpkg-deb -f "$deb" Version)" = "$cpack_version" ] || failed "cpack's package is not version $cpack_version"
for package in "$deb" "$source_deb"; do
  [ "$(dpkg-deb -f "$package" Recommends)" = "xdg-utils, qt6-translations-l10n" ] ||
    failed "$package: Recommends is not xdg-utils, qt6-translations-l10n"
  [ "$(dpkg-deb -f "$package" Section)" = games ] || failed "$package: Section is not games"
  [ "$(dpkg-deb -I "$package" conffiles 2>/dev/null)" = /etc/orvanta/user.txt ] ||
    failed "$package: the conffiles are not /etc/orvanta/user.txt alone"
done

dpkg-deb -x "$deb" "$scratch/unpacked"
for entry in "$scratch"/unpacked/usr/share/applications/*.desktop; do
  desktop-file-validate "$entry" || failed "desktop-file-validate $(basename "$entry")"
done
for edition in public profi; do
  grep -qx 'Comment\[ru\]=Объезжайте все города.*' "$scratch/unpacked/usr/share/applications/orvanta-$edition.desktop" ||
    failed "orvanta-$edition.desktop lacks its Russian comment"
  # What "man orvanta-profi" shows: the one page, which names both.
  page=$(zcat "$scratch/unpacked/usr/share/man/man6/orvanta-$edition.6.gz")
  heading=$(echo "$page" | grep -m1 '^\.TH')
  [ "$heading" = ".TH ORVANTA-PUBLIC 6 \"$release_date\" \"Orvanta $version\" \"Games\"" ] ||
    failed "orvanta-$edition.6 is headed $heading"
  echo "$page" | grep -q "^orvanta-public, orvanta-profi " || failed "orvanta-$edition.6 does not name both commands"
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
# An early end must not leave the package on the machine.
purge_package() {
  if dpkg-query -W -f='${Status}' orvanta 2>/dev/null | grep -q installed; then
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get purge -y -q orvanta >/dev/null
  fi
}
cleanup_steps+=(purge_package)
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$deb" \
  >"$scratch/apt.log" 2>&1 || { cat "$scratch/apt.log"; failed "apt-get install $deb"; exit 1; }
"${as_root[@]}" dpkg --verify orvanta || failed "dpkg --verify after the installation"
[ "$(readlink -f /usr/games/orvanta-public)" = /usr/lib/orvanta/orvanta-public ] ||
  failed "/usr/games/orvanta-public does not lead to /usr/lib/orvanta/orvanta-public"

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
# Removes the test user, their home and the runtime folder Qt makes for a
# session without one; says so, and fails, when any of it stays.
remove_test_user() {
  local error
  # userdel refuses a user with processes: whatever the checks left running
  # is named and ended first.
  if pgrep -u "$test_user" >/dev/null; then
    echo "still running as $test_user: $(ps -o pid=,args= -u "$test_user" | tr -s ' \n' ' ')"
    "${as_root[@]}" pkill -KILL -u "$test_user" || true
    for _ in $(seq 50); do pgrep -u "$test_user" >/dev/null || break; sleep 0.1; done
  fi
  error=$("${as_root[@]}" userdel --remove "$test_user" 2>&1) || echo "userdel $test_user: $error"
  "${as_root[@]}" rm -rf "/tmp/runtime-$test_user"
  if id "$test_user" >/dev/null 2>&1 || [ -e "$home" ] || [ -e "/tmp/runtime-$test_user" ]; then
    echo "FAILED: the test user $test_user or their files are left"
    return 1
  fi
}
"${as_root[@]}" useradd --create-home --home-dir "$home" --shell /bin/sh --user-group "$test_user"
cleanup_steps+=(remove_test_user)
# The checks run from a copy the user can read, wherever this tree lies.
mkdir -p "$scratch/checks/tests/qt" "$scratch/checks/tests/support" "$scratch/checks/scripts"
cp tests/qt/xvfb_smoke.sh "$scratch/checks/tests/qt/"
cp tests/support/menu_keys.sh tests/support/menu_items.txt "$scratch/checks/tests/support/"
cp scripts/screenshot.sh "$scratch/checks/scripts/"
copy=$home/.config/orvanta/user.txt
if "${as_root[@]}" runuser -u "$test_user" -- env -i HOME="$home" USER="$test_user" PATH=/usr/bin:/bin \
     LANG=C.UTF-8 timeout 180 "$scratch/checks/tests/qt/xvfb_smoke.sh" /usr/games/orvanta-public public \
     "$home/smoke" "" "$copy"; then
  cmp -s "$copy" /usr/lib/orvanta/user.txt || failed "the user's copy differs from /usr/lib/orvanta/user.txt"
  [ "$(stat -c %U "$copy")" = "$test_user" ] || failed "the user's copy belongs to $(stat -c %U "$copy")"
  echo "the user's copy: $copy"
else
  failed "the Xvfb check of the installed orvanta-public"
fi
"${as_root[@]}" dpkg --verify orvanta || failed "the program changed its installed files"
[ -e "/tmp/runtime-$test_user" ] && echo "the session's runtime folder: /tmp/runtime-$test_user"
remove_test_user || failures=$((failures + 1))
cleanup_steps=("${cleanup_steps[@]/remove_test_user}")

step "Installed orvanta-public under Xvfb, as root"
# Root may write the program's folder, yet root's personal number goes to
# root's own configuration folder, as any user's does, not into /etc.
root_home=$scratch/root-home
mkdir -p "$root_home"
if "${as_root[@]}" env -i HOME="$root_home" USER=root PATH=/usr/bin:/bin LANG=C.UTF-8 timeout 180 \
     "$scratch/checks/tests/qt/xvfb_smoke.sh" /usr/games/orvanta-public public "$root_home/smoke" "" \
     "$root_home/.config/orvanta/user.txt"; then
  echo "root's copy: $root_home/.config/orvanta/user.txt"
else
  failed "the Xvfb check of the installed orvanta-public as root"
fi
"${as_root[@]}" dpkg --verify orvanta || failed "the program run by root changed its installed files"
"${as_root[@]}" rm -rf "$root_home"

step "Debian package: root's edit of the configuration file survives installing the source-built package"
echo 4711 | "${as_root[@]}" tee /etc/orvanta/user.txt >/dev/null
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends --reinstall "$source_deb" \
  >"$scratch/apt.log" 2>&1 || { cat "$scratch/apt.log"; failed "apt-get install --reinstall $source_deb"; }
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

finish packages-debian
