#!/usr/bin/env bash
# Remakes the pictures of the user manual (docs/manual/images/*.png): the
# program, as main() builds it, driven through every window against the
# virtual logger (on a direct line, then behind a modem) under Xvfb and a
# window manager; every window is grabbed with its frame and the pictures
# are optimised. Look at them before committing.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
missing=()
for tool in Xvfb openbox optipng; do command -v "$tool" >/dev/null || missing+=("$tool"); done
if ((${#missing[@]})); then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  packages=$(printf '%s\n' "${missing[@]}" | sed 's/^Xvfb$/xvfb/' | tr '\n' ' ')
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends $packages >/dev/null
fi
[ -f build/CMakeCache.txt ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target manual_pictures >/dev/null

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/pictures"

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
openbox >/dev/null 2>&1 &
pids+=($!)

HOME=$work QT_QPA_PLATFORM=xcb QT_FONT_DPI=96 BREVEL_PICTURES_DIR=$work/pictures \
  ./build/tests/manual_pictures
for picture in "$work"/pictures/*.png; do
  optipng -quiet -o5 -strip all "$picture"
done
mkdir -p docs/manual/images
cp "$work"/pictures/*.png docs/manual/images/
ls -l docs/manual/images
