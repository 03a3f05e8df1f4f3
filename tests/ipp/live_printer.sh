#!/usr/bin/env bash
# Runs the test of the IPP reader against a real printer, installing what it starts first:
# ippeveprinter (cups-ipp-utils) and the private message bus it needs (dbus-daemon). When they
# cannot be installed the test runs all the same, and fails.
#
#   tests/ipp/live_printer.sh <ipp_live_tests>
set -uo pipefail

missing=()
for p in cups-ipp-utils dbus-daemon; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}" ||
    echo "live_printer: could not install ${missing[*]}"
fi
exec "$1"
