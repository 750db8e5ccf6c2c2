#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the quick start
# need, when any is missing. Runs as root (or through sudo when available).
set -euo pipefail

# qt6-svg-dev: the graphs' SVG export (QSvgGenerator); printing comes with qt6-base-dev.
# The archive: Qt's SQLite and PostgreSQL drivers (qt6-base-dev carries the
# Qt Sql headers), and the PostgreSQL server programs, with which the archive
# tests start a private server of their own in a temporary folder.
# dpkg-dev and file: building and checking the Debian package.
packages=(cmake ninja-build g++ qt6-base-dev qt6-serialport-dev qt6-svg-dev libgl-dev
          xvfb xauth libgl1-mesa-dri locales libbenchmark-dev
          libqt6sql6-sqlite libqt6sql6-psql postgresql
          dpkg-dev file)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The date tests run under a decimal-comma locale too.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf8$'; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi
