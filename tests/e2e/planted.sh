#!/usr/bin/env bash
# Programs planted in the package folder never run. The installer runs with administrator rights
# from a folder that others may write to; reg.exe, cmd.exe, rundll32.exe and control.exe placed
# beside it (copies of velmora-e2e-marker.exe, which leave NAME.ran when run) must stay unused
# while the program starts the system's own programs.
#
#   tests/e2e/planted.sh <Velmora.exe> <velmora-e2e.exe> <artifact-dir>
#
# velmora-e2e-marker.exe is taken from beside the driver. One "ok - ..." or "not ok - ..." line
# per check, then "N passed, M failed". The whole run is bounded by VELMORA_PLANTED_TIMEOUT
# seconds (default 180).
set -u -o pipefail

# shellcheck source=tests/e2e/cases.sh
source "$(dirname "${BASH_SOURCE[0]}")/cases.sh"
run_bounded VELMORA_PLANTED_TIMEOUT 180 "$@"
marker=$(realpath -e "$(dirname "$driver")/velmora-e2e-marker.exe") || exit 2
clear_artifacts 'failure-planted-*.png' '*.ran'

# shellcheck source=tests/e2e/wine-env.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

readonly maker_title='一鍵安裝製作'
readonly title='Velmora  安裝驅動程式  '
readonly notice_title='安裝驅動程式'
readonly desktop=velmora
readonly profile_line='ip,192.168.0.250,Office,Model X,x.inf,100'
readonly unc_key='HKCU\Software\Microsoft\Command Processor'
readonly planted_names=(reg.exe cmd.exe rundll32.exe control.exe)

# shellcheck source=tests/e2e/checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
report_at_exit

# Each case (cases.sh) has a package folder /tmp/velmora-planted.* holding the program, ip.ini, a
# small INF and the planted programs; a failure leaves failure-planted-CASE.png.
package_prefix=planted
fill_package() {
  local name
  small_inf >"$package/x.inf"
  for name in "${planted_names[@]}"; do cp "$marker" "$package/$name"; done
}
failure_picture=failure-planted-
# Wine traces every CreateProcess of the program and its children into the program's log ("app" is
# the program file given, "cmdline" the line): the proof of what ran from where.
program_winedebug=-all,+process

# The markers that planted programs left, with the lines they were started with.
check_no_marker() {
  local what=$1 found=() file
  for file in "$package"/*.ran; do
    [[ -e $file ]] && found+=("$(basename "$file"): $(head -c 300 "$file" | tr -d '\r' | paste -sd '|')")
  done
  if ((${#found[@]} == 0)); then
    ok "$what"
  else
    not_ok "$what" "${found[@]}"
    cp "$package"/*.ran "$artifacts/" 2>/dev/null
  fi
}

# check_started WHAT PROGRAM LINE-START: the trace shows PROGRAM (a path, as given to
# CreateProcess) started with a command line that begins with LINE-START.
check_started() {
  local what=$1 app=$2 line=$3 log=$VELMORA_E2E_LOG/program-$case_name.log
  # debugstr_w doubles backslashes; matched without regard to case, as Windows would.
  local want="app L\"${app//\\/\\\\}\" cmdline L\"$line"
  if grep -qiF -- "$want" "$log"; then
    ok "$what"
  else
    local seen
    seen=$(grep -o 'app L"[^"]*"' "$log" | sort -u | tr '\n' ' ')
    not_ok "$what" "no trace line holds: $want" "programs given: ${seen:-none}"
  fi
}

address_shows() { [[ $(drv --timeout=2000 get-text "$title" Form1.Text1) == "$1" ]]; }

unc_check() {
  velmora_reg_query "$unc_key" /v DisableUNCCheck 2>/dev/null |
    tr -d '\r' | awk '$1 == "DisableUNCCheck" { print $2, $3 }'
}
unc_check_set() { [[ $(unc_check) == "REG_DWORD 0x1" ]]; }

# Answers every message box with Yes, else OK, until the program has ended.
answer_until_exit() {
  local secs=$1 t count
  local deadline=$((SECONDS + secs))
  while ((SECONDS < deadline)); do
    count=$(drv --timeout=0 process-count Velmora.exe) || count=
    [[ $count == 0 ]] && return 0
    for t in Velmora 提示; do
      drv --timeout=0 msgbox-press "$t" yes 2>/dev/null || drv --timeout=0 msgbox-press "$t" ok 2>/dev/null || true
    done
  done
  echo "Velmora.exe still runs after $secs s of answering its message boxes" >"$driver_err"
  return 1
}

# --- the cases ------------------------------------------------------------------------------------

# At every start the program writes DisableUNCCheck through the registry command.
case_start() {
  case_name=start
  velmora_wine reg delete "$unc_key" /v DisableUNCCheck /f >/dev/null
  if [[ -n $(unc_check) ]]; then
    not_ok "start: DisableUNCCheck is cleared before the start" "reg delete did not remove it"
    return
  fi
  begin_case start || return
  if velmora_poll 20 unc_check_set; then
    ok "start: the system's reg sets DisableUNCCheck to REG_DWORD 0x1"
  else
    not_ok "start: the system's reg sets DisableUNCCheck to REG_DWORD 0x1" "it reads \"$(unc_check)\""
    diagnose
  fi
  stop_program
  check_started "start: reg is started from the system folder" 'C:\windows\system32\reg.exe' 'reg add '
  check_no_marker "start: no planted program ran"
}

# A whole install: the address confirmed, Yes to the install question, and every message box
# answered until the program ends by itself. The address is a network path: its port is a registry
# value Wine's WMI writes, so the pass reaches the driver install line (a TCP/IP port fails under
# Wine, and a pass without a port starts nothing). A network path is not probed.
case_install() {
  local address='\\srv\hp'
  begin_case install || return
  drv set-text "$title" Form1.Text1 "" && drv type "$title" Form1.Text1 "$address" ||
    { not_ok "install: $address is typed" "$(driver_error)"; diagnose; stop_program; return; }
  velmora_poll 5 address_shows "$address" ||
    { not_ok "install: Form1.Text1 shows $address" "$(driver_error)"; diagnose; stop_program; return; }
  drv key "$title" Form1.Text1 enter && drv --timeout=10000 msgbox-press 提示 yes ||
    { not_ok "install: Yes to the install question" "$(driver_error)"; diagnose; stop_program; return; }
  if drv wait-control "$notice_title" msg 10000; then
    ok "install: the install runs (the notice window appears)"
  else
    not_ok "install: the install runs (the notice window appears)" "$(driver_error)"
  fi
  if answer_until_exit 60; then
    ok "install: the program ends once its message boxes are answered"
  else
    not_ok "install: the program ends once its message boxes are answered" "$(driver_error)"
    diagnose
  fi
  stop_program
  check_started "install: the driver install line's rundll32 is the system's" \
    'C:\windows\system32\rundll32.exe' 'rundll32 printui.dll,PrintUIEntry /if '
  check_no_marker "install: no planted program ran"
}

# Recording printing preferences from 一鍵安裝製作: the question, Yes, and the outcome's box.
# Wine's WMI has no Win32_PrinterConfiguration rows, so the recording ends with "製作失敗，找不到印表機"
# before its command line; the case still proves that the maker's path starts nothing planted.
# Do not plant explorer.exe: start_program runs "wine explorer" in the package folder.
case_recording() {
  begin_case recording || return
  drv menu "$title" 進階/設定值 ||
    { not_ok "recording: menu 進階/設定值 is chosen" "$(driver_error)"; diagnose; stop_program; return; }
  drv click "$maker_title" ADVSET.Command5 && drv --timeout=10000 msgbox-press 提示 yes ||
    { not_ok "recording: 製作 and Yes to its question" "$(driver_error)"; diagnose; stop_program; return; }
  local told
  if told=$(drv --timeout=15000 msgbox-text 製作列印喜好設定); then
    check_equal "recording: the outcome is told" "$told" "製作失敗，找不到印表機 Office"
    drv msgbox-press 製作列印喜好設定 ok || true
  else
    not_ok "recording: the outcome is told" "$(driver_error)"
    diagnose
  fi
  stop_program
  check_no_marker "recording: no planted program ran"
}

# --- environment ----------------------------------------------------------------------------------

cases_up

case_start
case_install
case_recording

((failed == 0))
