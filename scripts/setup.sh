#!/usr/bin/env bash
# Installs what building and testing need on Debian 12; does nothing when all is there.
set -euo pipefail

# Each package is used by the build, a test or a script: clang-format and clang-tidy-14 by the
# lint, clang-14 by both and libclang-rt-14-dev by the fuzz targets, file by the test command,
# cups-ipp-utils (ippeveprinter, with the private message bus of dbus-daemon it needs to start)
# by the test of the IPP reader against a real printer and by the package maker's Wine test (with
# python3 for the printer's raw port), the rest
# of the second half by the Wine tests (xwd, xdpyinfo, xwininfo, convert, compare, locale-gen;
# AR PL UMing stands in for the windows' Chinese faces).
packages=(
  cmake g++ make clang-format file
  libgtest-dev libbenchmark-dev nlohmann-json3-dev
  clang-14 clang-tidy-14 libclang-rt-14-dev cups-ipp-utils dbus-daemon
  g++-mingw-w64-x86-64-posix
  wine wine64 xvfb x11-utils x11-apps imagemagick locales fonts-wine fonts-arphic-uming python3
)
if [ "${1:-}" = "--linux-only" ]; then
  packages=(cmake g++ make libgtest-dev nlohmann-json3-dev)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Wine takes its ANSI code page (950) and Chinese file names from this locale.
if [ "${1:-}" != "--linux-only" ] && ! locale -a 2>/dev/null | grep -qi '^zh_TW\.utf8$'; then
  sed -i 's/^# *\(zh_TW.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_TW.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_TW.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
