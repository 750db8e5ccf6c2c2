#!/usr/bin/env bash
# Checks the names of the program (src/, sim/, bench/) against .clang-tidy.
# Takes a build folder configured with -DCMAKE_EXPORT_COMPILE_COMMANDS=ON and
# built (the sources include what moc generates there), default build/.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
if [[ ! -f "$dir/compile_commands.json" ]]; then
    echo "check-names: $dir/compile_commands.json missing; configure with -DCMAKE_EXPORT_COMPILE_COMMANDS=ON" >&2
    exit 2
fi
tidy=$(command -v clang-tidy || command -v clang-tidy-14 || true)
if [[ -z "$tidy" ]]; then
    echo "check-names: clang-tidy is not installed (apt-get install clang-tidy)" >&2
    exit 2
fi
root=$(pwd)
python3 -c 'import json, sys
for entry in json.load(open(sys.argv[1])):
    if entry["file"].startswith(sys.argv[2] + "/") and entry["file"][len(sys.argv[2]) + 1:].split("/")[0] in ("src", "sim", "bench"):
        print(entry["file"])' "$dir/compile_commands.json" "$root" | sort -u |
    xargs -P "$(nproc)" -n 4 "$tidy" -p "$dir" --quiet 2> >(grep -v '^[0-9]* warnings\? generated\.$' >&2)
echo "check-names: every name of the program follows .clang-tidy"
