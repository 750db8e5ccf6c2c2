#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program with a virtual
# logger to connect to, which stops when the program stops.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build
./build/brevel-logger-sim >/dev/null &
sim=$!
trap 'kill "$sim" 2>/dev/null' EXIT
./build/BrevelLogger "$@"
