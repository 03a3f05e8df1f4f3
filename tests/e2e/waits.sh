#!/usr/bin/env bash
# The window thread's waits under Wine: velmora-waits.exe (tests/win32) checks that waitPainting
# paints and answers sent messages but leaves posted messages and input queued, keeps a WM_QUIT,
# and ends at its deadline; and that the printer probe and the IPP question wait through it,
# within their limits, against listeners and a test printer of its own on 127.0.0.1.
#
#   tests/e2e/waits.sh build/windows/tests/win32/velmora-waits.exe artifacts/waits
#
# One line per check and "N passed, M failed", as the other Wine scripts; the whole run is cut off
# after VELMORA_WAITS_TIMEOUT seconds (default 120). Port 631 of 127.0.0.1 must be free.
set -uo pipefail

if [[ $# -ne 2 ]]; then
  echo "usage: $0 <path-to-velmora-waits.exe> <artifact-dir>" >&2
  exit 2
fi
run_seconds=${VELMORA_WAITS_TIMEOUT:-120}
if [[ -z ${VELMORA_WAITS_INNER:-} ]]; then
  export VELMORA_WAITS_INNER=1
  exec timeout --kill-after=30 "$run_seconds" "$BASH" "$0" "$@"
fi
tests=$(realpath -e "$1") || exit 2
artifacts=$(realpath -m "$2")
mkdir -p "$artifacts"
rm -f "$artifacts"/waits.txt
export VELMORA_E2E_LOG=$artifacts/logs
rm -rf "$VELMORA_E2E_LOG"

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=wine-env.sh
source "$here/wine-env.sh"
# shellcheck source=checks.sh
source "$here/checks.sh"
report_at_exit
wine_up

# Its own lines become this script's checks; a crash or a hang shows as the status. In the
# background, so that the total timeout's report is not written into its file.
velmora_wine "$tests" >"$artifacts/waits.txt" &
wait $!
status=$?
lines=0
while IFS= read -r line; do
  line=${line%$'\r'}
  case $line in
    'ok - '*) ok "${line#ok - }" ;;
    'not ok - '*) not_ok "${line#not ok - }" ;;
    '#'*) echo "$line" ;;
    *) continue ;;
  esac
  lines=$((lines + 1))
done <"$artifacts/waits.txt"
if ((status == 0 && lines > 0)); then
  ok "velmora-waits.exe ends with 0 after $lines lines"
else
  not_ok "velmora-waits.exe ends with 0 after its lines" "status $status after $lines lines" \
    "(124: cut off after 120 s; see $artifacts/waits.txt and $VELMORA_E2E_LOG/wine.log)"
fi

((failed == 0))
