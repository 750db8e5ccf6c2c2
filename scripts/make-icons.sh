#!/usr/bin/env bash
# Renders the program's SVG icon to the PNG sizes a desktop's icon theme
# looks for (packaging/icons/<size>/), optimised. Run after changing the SVG
# and commit the PNGs.
set -euo pipefail
cd "$(dirname "$0")/../packaging/icons"
command -v rsvg-convert >/dev/null && command -v optipng >/dev/null || {
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends librsvg2-bin optipng >/dev/null
}
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "${size}x${size}"
  rsvg-convert -w "$size" -h "$size" brevel-flow-monitor.svg -o "${size}x${size}/brevel-flow-monitor.png"
  optipng -quiet -o7 -strip all "${size}x${size}/brevel-flow-monitor.png"
done
