#!/usr/bin/env bash
# The program's command-line splitter against the system's CommandLineToArgvW under Wine: every
# line the quoting tests build, the splitter's own table and 3000 generated lines (written by
# velmora-argv-lines, the same on every run), each split by both in velmora-e2e.exe argv-compare.
#
#   tests/e2e/argv.sh build/linux/tests/velmora-argv-lines \
#     build/windows/tests/e2e/driver/velmora-e2e.exe artifacts/argv
#
# One line per check and "N passed, M failed", as the other Wine scripts; the whole run is cut off
# after VELMORA_ARGV_TIMEOUT seconds (default 180).
set -uo pipefail

if [[ $# -ne 3 ]]; then
  echo "usage: $0 <path-to-velmora-argv-lines> <path-to-velmora-e2e.exe> <artifact-dir>" >&2
  exit 2
fi
run_seconds=${VELMORA_ARGV_TIMEOUT:-180}
if [[ -z ${VELMORA_ARGV_INNER:-} ]]; then
  export VELMORA_ARGV_INNER=1
  exec timeout --kill-after=30 "$run_seconds" "$BASH" "$0" "$@"
fi
lines_tool=$(realpath -e "$1") || exit 2
driver=$(realpath -e "$2") || exit 2
artifacts=$(realpath -m "$3")
mkdir -p "$artifacts"
rm -f "$artifacts"/argv-lines.txt "$artifacts"/argv-compare.txt
export VELMORA_E2E_LOG=$artifacts/logs
rm -rf "$VELMORA_E2E_LOG"

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=wine-env.sh
source "$here/wine-env.sh"
# shellcheck source=checks.sh
source "$here/checks.sh"
report_at_exit
wine_up

lines=$artifacts/argv-lines.txt
if ! "$lines_tool" 3000 >"$lines"; then
  not_ok "the lines to compare are written" "$lines_tool failed"
  exit 1
fi
count=$(wc -l <"$lines")
if ((count < 3000)); then
  not_ok "the lines to compare are written" "only $count lines in $lines"
  exit 1
fi
ok "$count lines to compare are written"

# The driver reads the file through Wine's Z: drive; velmora_wine bounds the call.
velmora_wine "$driver" argv-compare "Z:${lines//\//\\}" >"$artifacts/argv-compare.txt"
status=$?
result=$(tail -n 1 "$artifacts/argv-compare.txt")
if [[ $status -eq 0 && $result == "compared $count lines, 0 differ" ]]; then
  ok "our splitter reads all $count lines as CommandLineToArgvW does"
else
  mapfile -t shown_lines < <(head -n 12 "$artifacts/argv-compare.txt")
  not_ok "our splitter reads all $count lines as CommandLineToArgvW does" \
    "argv-compare ended with $status: $result" "${shown_lines[@]}"
fi
((failed == 0))
