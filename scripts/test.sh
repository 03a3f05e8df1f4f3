#!/usr/bin/env bash
# Every test: installs what is needed, then the unit and scenario tests, the layer check, the
# lint, the parsers' fuzz targets, the same tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, the Windows build and its imports, and the Wine tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/setup.sh

step() { printf '\n== %s\n' "$*"; }

step "Linux build and tests"
cmake --preset linux >/dev/null
cmake --build --preset linux
ctest --preset linux

step "Layers: every include points down"
scripts/layers.sh

step "Lint: clang-format and clang-tidy"
scripts/lint.sh

step "Fuzz targets, 30 seconds each"
scripts/fuzz.sh

step "Sanitizer build and tests"
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan

step "Windows build"
cmake --preset windows >/dev/null
cmake --build --preset windows
exe=build/windows/src/winmain/Velmora.exe
file "$exe" | grep -q 'PE32+ executable (GUI) x86-64' || { echo "not a PE32+ GUI executable: $exe"; exit 1; }
scripts/check-imports.sh "$exe"

step "Wine end-to-end"
driver=build/windows/tests/e2e/driver/velmora-e2e.exe
mkdir -p artifacts
# One Wine prefix for the whole run, made fresh here: no script finds what an earlier run left in
# it, and none of them pays for making it.
VELMORA_E2E_LOG=artifacts/prefix-logs bash -c 'source tests/e2e/wine-env.sh && velmora_locale_ensure && velmora_prefix_lock &&
  rm -rf "$WINEPREFIX" && velmora_xvfb_start && velmora_prefix_ensure'
timed() {
  local start=$SECONDS
  "$@"
  echo "# $(basename "$1"): $((SECONDS - start)) s"
}
timed tests/e2e/smoke.sh "$exe" "$driver" artifacts/smoke
timed tests/e2e/argv.sh build/linux/tests/velmora-argv-lines "$driver" artifacts/argv
timed tests/e2e/interaction.sh "$exe" "$driver" artifacts
timed tests/e2e/planted.sh "$exe" "$driver" artifacts/planted
timed tests/e2e/copies.sh "$exe" "$driver" artifacts/copies
timed tests/e2e/maker.sh "$exe" "$driver" artifacts/maker
timed tests/e2e/maker_ipp.sh "$exe" "$driver" artifacts/maker-ipp
timed tests/e2e/waits.sh build/windows/tests/win32/velmora-waits.exe artifacts/waits
timed tests/e2e/keyboard.sh "$exe" "$driver" artifacts/keyboard
timed tests/e2e/tools.sh "$exe" "$driver" artifacts/tools
timed tests/e2e/command_line.sh "$exe" "$driver" artifacts/command-line
