#!/usr/bin/env bash
# The main job on the simulated machine: the end user runs the sample package's installer,
# and the demo tells step by step what the program did and what the machine holds afterwards.
#   scripts/demo.sh                     installs what is needed, builds, runs the demo
#   scripts/demo.sh --no-build [SIM]    runs an existing build (the test suite does this)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

if [ "${1:-}" = "--no-build" ]; then
  demo="$(dirname "${2:-build/linux/src/scenario/velmora-sim}")/velmora-demo"
else
  scripts/setup.sh --linux-only
  cmake --preset linux >/dev/null
  cmake --build --preset linux --target velmora-demo >/dev/null
  demo=build/linux/src/scenario/velmora-demo
fi
out=$("$demo" examples/sample-package examples/demo-actions.json)
printf '%s\n' "$out"
# The demo proves something only if the window really came up with the package's printer.
grep -q "printers: \[{\"Name\":\"辦公室印表機\"" <<<"$out"
