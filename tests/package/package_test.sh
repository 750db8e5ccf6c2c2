#!/usr/bin/env bash
# The Debian package of a configured build folder holds exactly the expected files, the project's version and
# the computed library dependencies; unpacked, the program finds its catalogues and manual, and the others start.
# Usage: package_test.sh BUILD_FOLDER. Exits 77 (skipped) without the tools.
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$build/CMakeCache.txt")
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
for tool in cpack dpkg-deb dpkg-shlibdeps file; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (dpkg-dev, file)"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# Builds what a partial build left out of the package.
cmake --build "$build" --target BrevelLogger brevel-logger-sim brevel brevel_man_pages brevel_package_changelog \
  >"$work/build.log" 2>&1 || { cat "$work/build.log"; fail "build"; }
(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/out/*.deb)
[ "$(basename "$deb")" = "brevel-flow-monitor_${version}_$(dpkg --print-architecture).deb" ] || fail "file name $deb"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version $(dpkg-deb -f "$deb" Version), project $version"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6core6 libqt6widgets6 libqt6serialport6 libqt6sql6 libstdc++6; do
  [[ "$depends" == *"$library ("* ]] || fail "Depends lacks $library: $depends"
done
# The archive's SQLite driver is a plugin the library scan cannot find.
[[ ", $depends," == *", libqt6sql6-sqlite,"* ]] || fail "Depends lacks libqt6sql6-sqlite: $depends"

# Every file and link, against what the source tree says should be there.
{
  printf '%s\n' usr/bin/BrevelLogger usr/bin/brevel-logger-sim usr/bin/brevel \
    "usr/bin/brevel-flow-monitor -> BrevelLogger" \
    usr/share/man/man1/BrevelLogger.1.gz usr/share/man/man1/brevel-logger-sim.1.gz usr/share/man/man1/brevel.1.gz \
    "usr/share/man/man1/brevel-flow-monitor.1.gz -> BrevelLogger.1.gz" \
    usr/share/applications/brevel-flow-monitor.desktop \
    usr/share/metainfo/brevel-flow-monitor.metainfo.xml \
    usr/share/icons/hicolor/scalable/apps/brevel-flow-monitor.svg \
    usr/share/doc/brevel-flow-monitor/copyright usr/share/doc/brevel-flow-monitor/changelog.gz \
    usr/share/lintian/overrides/brevel-flow-monitor
  for size in 16 22 24 32 48 64 128 256; do
    echo "usr/share/icons/hicolor/${size}x${size}/apps/brevel-flow-monitor.png"
  done
  (cd "$source/data" && find . -type f | sed 's|^\./|usr/share/brevel-flow-monitor/|')
  (cd "$source/docs" && find manual -type f | sed 's|^|usr/share/brevel-flow-monitor/|')
} | sort >"$work/expected"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { $1 = $2 = $3 = $4 = $5 = ""; sub(/^ *\.\//, ""); print }' | sort >"$work/actual"
diff -u "$work/expected" "$work/actual" || fail "package contents differ from the expected (- expected, + in the package)"
grep -q 'manual/images/.*\.png' "$work/actual" || fail "the manual has no pictures"

# The installed program, run from the unpacked root through its command.
dpkg -x "$deb" "$work/root"
share="$work/root/usr/share/brevel-flow-monitor"
report=$("$work/root/usr/bin/brevel-flow-monitor" --version)
for line in "Brevel Flow Monitor v${version%%.*}." \
            "Data folder: $share" \
            "Flume catalogue: $share/flumes.lst, $(grep -c '^\[' "$share/flumes.lst") devices" \
            "Weir catalogue: $share/weirs.lst, $(grep -c '^\[' "$share/weirs.lst") devices" \
            "Manual: $share/manual/BrevelFlowMonitor.html"; do
  grep -qF -- "$line" <<<"$report" || fail "--version does not say: $line"$'\n'"$report"
done
"$work/root/usr/bin/brevel-logger-sim" --help | grep -q -- '--modem' || fail "brevel-logger-sim --help"
"$work/root/usr/bin/brevel" --help | grep -q -- 'download' || fail "brevel --help"
"$work/root/usr/bin/brevel" download --help | grep -q -- '--clear-after' || fail "brevel download --help"

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$work/root/usr/share/applications/brevel-flow-monitor.desktop" || fail "desktop entry"
fi
if command -v appstreamcli >/dev/null; then
  errors=$(appstreamcli validate --no-net "$work/root/usr/share/metainfo/brevel-flow-monitor.metainfo.xml" | grep '^E:' || true)
  [ -z "$errors" ] || fail "metainfo: $errors"
fi
echo "package: $(basename "$deb"), $(wc -l <"$work/actual") files, all found"
