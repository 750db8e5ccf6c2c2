#!/usr/bin/env bash
# Builds the Debian package the way a release is built: a Release build
# with Debian's hardening flags in its own folder (default build-package/),
# only the installed programs, then cpack and, when installed, lintian.
# Prints the path of the .deb. Install it with: sudo apt install ./<file>.deb
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-package}
bash scripts/install-deps.sh
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CFLAGS=$(dpkg-buildflags --get CFLAGS)
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
export CFLAGS CXXFLAGS LDFLAGS
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build "$dir" --parallel "$(nproc)" \
  --target BrevelLogger brevel-logger-sim brevel brevel_man_pages brevel_package_changelog
(cd "$dir" && cpack -G DEB >/dev/null)
deb=$(ls -t "$dir"/brevel-flow-monitor_*.deb | head -n 1)
if command -v lintian >/dev/null; then
  lintian --info --display-info --pedantic "$deb" || true
fi
echo "$deb"
