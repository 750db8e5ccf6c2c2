#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program with a virtual
# logger to connect to, which stops when the program stops.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build
out=$(mktemp)
./build/brevel-logger-sim >"$out" &
sim=$!
trap 'kill "$sim" 2>/dev/null; rm -f "$out"' EXIT
# The connection window lists the virtual logger once it has printed its
# device path and link.
for _ in $(seq 100); do
  [ "$(wc -l <"$out")" -ge 2 ] && break
  kill -0 "$sim" 2>/dev/null || { echo "The virtual logger did not start." >&2; exit 1; }
  sleep 0.1
done
./build/BrevelLogger "$@"
