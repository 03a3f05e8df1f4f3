#!/usr/bin/env bash
# The code's own checks, failing on any finding: clang-format over every C++ file, and
# clang-tidy (.clang-tidy: bugprone, clang-analyzer, performance, function size, unnamed numbers)
# over the program's sources as the Linux build compiles them (portable code, simulated machine,
# scenario runner, benchmarks), and over the Windows layer as mingw-w64 compiles it.
#   scripts/lint.sh            both
#   scripts/lint.sh --format   only the formatting check
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

tidy=run-clang-tidy-14
jobs=${LINT_JOBS:-2}

mapfile -t sources < <(git ls-files '*.cpp' '*.h')
echo "lint: clang-format on ${#sources[@]} files"
clang-format --dry-run --Werror "${sources[@]}"
[[ ${1:-} == --format ]] && exit 0

echo "lint: clang-tidy, Linux build"
cmake -S . -B build/lint -DCMAKE_BUILD_TYPE=Debug -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
# Generated headers and the like would be built first; this tree has none.
"$tidy" -p build/lint -j "$jobs" -quiet '/src/' '/bench/' >build/lint/tidy.log 2>&1 ||
  { grep -E 'error:|warning:' build/lint/tidy.log | sort -u; echo "lint: clang-tidy found the above (Linux)"; exit 1; }

echo "lint: clang-tidy, Windows layer as mingw-w64 compiles it"
cmake --preset windows -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
# clang parses for the mingw target with its own intrinsics and mingw-w64's C and C++ headers;
# gcc's intrinsic headers do not parse with clang.
gxx=x86_64-w64-mingw32-g++-posix
mingw_args=(-extra-arg=--target=x86_64-w64-mingw32 -extra-arg=-nostdinc -extra-arg=-nostdinc++
  "-extra-arg=-isystem$(clang-14 -print-resource-dir)/include")
while read -r dir; do
  case $dir in
    */include/c++* | */x86_64-w64-mingw32/include) mingw_args+=("-extra-arg=-isystem$(realpath "$dir")") ;;
  esac
done < <(echo | "$gxx" -E -x c++ - -v 2>&1 | sed -n '/#include <...> search starts here/,/End of search list/p')
"$tidy" -p build/windows -j "$jobs" -quiet "${mingw_args[@]}" '/src/(platform/win32|winmain)/' \
  >build/windows/tidy.log 2>&1 ||
  { grep -E 'error:|warning:' build/windows/tidy.log | sort -u; echo "lint: clang-tidy found the above (Windows)"; exit 1; }
echo "lint: no findings"
