#!/usr/bin/env bash
# Installs what is missing, builds warning-free and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build -DBREVEL_WERROR=ON
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300
