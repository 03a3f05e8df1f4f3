#!/usr/bin/env bash
# Fails when Velmora.exe imports a library that is not on Windows' known-DLL list. Windows loads
# a known DLL only from the system folder; any other import is looked for beside the program
# first, and a package folder may be writable by anyone who could then run code with the
# installer's administrator rights. Such libraries are loaded from the system folder at run time
# instead (src/platform/win32/system_library.h).
#
#   scripts/check-imports.sh <Velmora.exe>
set -euo pipefail

if [[ $# -ne 1 || ! -f $1 ]]; then
  echo "usage: $0 <Velmora.exe>" >&2
  exit 2
fi
exe=$1

# HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs of current Windows.
declare -A known=()
for name in kernel32 user32 gdi32 advapi32 ole32 oleaut32 shell32 shlwapi comdlg32 rpcrt4 msvcrt \
  combase sechost imm32 setupapi wldap32 ws2_32 normaliz nsi psapi imagehlp clbcatq gdiplus msctf \
  difxapi shcore coml2; do
  known[$name.dll]=1
done

objdump=x86_64-w64-mingw32-objdump
command -v "$objdump" >/dev/null || objdump=objdump

if ! dump=$("$objdump" -p "$exe" 2>&1); then
  echo "imports: $objdump cannot read $exe: $dump" >&2
  exit 1
fi
mapfile -t imports < <(awk '/DLL Name:/ { print $3 }' <<<"$dump")
if ((${#imports[@]} == 0)); then
  echo "imports: $exe lists no imported DLL; is it a Windows executable?" >&2
  exit 1
fi

unknown=()
for dll in "${imports[@]}"; do
  [[ -n ${known[${dll,,}]:-} ]] || unknown+=("$dll")
done

if ((${#unknown[@]} > 0)); then
  echo "imports: not on the known-DLL list: ${unknown[*]} (all imports: ${imports[*]})"
  exit 1
fi
echo "imports: ${#imports[@]} DLLs, all on the known-DLL list: ${imports[*]}"
