#!/usr/bin/env bash
# Installer copies under Wine: the real program as 安裝.exe in a package folder opens the copy
# window from its menu, makes a named copy of itself, and runs another copy to its end.
#
#   tests/e2e/copies.sh <Velmora.exe> <velmora-e2e.exe> <artifact-dir>
#
# One "ok - ..." or "not ok - ..." line per check, then "N passed, M failed". The whole run is
# bounded by VELMORA_COPIES_TIMEOUT seconds (default 240).
set -u -o pipefail

# shellcheck source=tests/e2e/cases.sh
source "$(dirname "${BASH_SOURCE[0]}")/cases.sh"
run_bounded VELMORA_COPIES_TIMEOUT 240 "$@"
clear_artifacts 'copies-*.png' 'failure-copies-*.png'

# shellcheck source=tests/e2e/wine-env.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

readonly title='Velmora  安裝驅動程式  '
readonly copy_title='建立一鍵安裝檔'
readonly notice_title='安裝驅動程式'
readonly desktop=velmora
readonly installer=安裝.exe
# The profile's printer name, which a copy's file name replaces.
readonly printer=影印室
readonly profile_line="ip,10.0.0.7,$printer,Model X,x.inf,100"

# shellcheck source=tests/e2e/checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
report_at_exit

# Each case (cases.sh) has a package folder /tmp/velmora-copies.* holding the program as 安裝.exe,
# ip.ini and a small INF; a failure leaves failure-copies-CASE.png. A case ends whatever it started:
# the program, a copy it ran, the folder window the shell opened.
package_prefix=copies
package_exe=$installer
fill_package() { small_inf >"$package/x.inf"; }
failure_picture=failure-copies-
diagnose_boxes=(Velmora 提示 "$copy_title")
main_window_check='the main window appears'
restart_after_case=yes

# Replaces a box's text as a user's edit does (EN_CHANGE reaches the program) and waits for it.
set_box() {
  drv set-text "$copy_title" "$1" "$2" && wait_text "$copy_title" "$1" "$2"
}

# check_fits WHAT TITLE FORM.CONTROL: the label's text, laid out in its own font as the label
# lays it out, needs no more height than the label has.
check_fits() {
  local what=$1 fit
  if ! fit=$(drv text-fit "$2" "$3"); then
    not_ok "$what" "$(driver_error)"
    return
  fi
  local _l lw _w wh _c cw ch
  read -r _l lw _ _w wh _c cw ch _ <<<"$fit"
  if ((wh <= ch)); then
    ok "$what (${lw} px on one line, ${wh} px wrapped, in ${cw}x${ch} px)"
  else
    not_ok "$what" "$3 is ${cw}x${ch} px; its text needs ${wh} px wrapped at that width" "($fit)"
  fi
}

# The copy window of the running program, opened from the menu; its labels must fit them.
open_copy_window() {
  drv menu "$title" "$copy_title" && drv wait-window "$copy_title" 10000 ||
    { give_up "$case_name: 建立一鍵安裝檔 opens the copy window" "$(driver_error)"; return 1; }
  ok "$case_name: 建立一鍵安裝檔 opens the copy window \"$copy_title\""
}

check_labels_fit() {
  local label
  for label in Label1 Label2 Label3 Label4; do
    check_fits "$case_name: Filename.$label fits its label" "$copy_title" "Filename.$label"
  done
}

# check_same_bytes WHAT FILE: FILE of the package holds exactly the installer's bytes.
check_same_bytes() {
  if [[ ! -f $package/$2 ]]; then
    not_ok "$1" "there is no $2 in the package folder: $(ls "$package" | tr '\n' ' ')"
  elif cmp -s "$package/$installer" "$package/$2"; then
    ok "$1"
  else
    not_ok "$1" "$2 differs from $installer"
  fi
}

# start_image_watch IMAGE.exe TIMEOUT-MS: watches the end of that image from now on, as
# start_exit_watch (checks.sh) does the program's; each watch gets the next index, from 0.
start_image_watch() {
  local image=$1 out=$VELMORA_E2E_LOG/$case_name.wait-exit.${#exit_watch_pids[@]}
  : >"$out"
  timeout 90 wine "$driver" wait-exit "$image" "$2" >"$out" 2>"$out.err" &
  exit_watch_pids+=("$!")
  exit_watch_outs+=("$out")
  velmora_poll 20 grep -q '^watching' "$out"
}

# finish_image_watch INDEX WHAT CODE: the INDEXth watched program ended by itself with CODE.
finish_image_watch() {
  local i=$1 what=$2 want=$3 rc=0 out=${exit_watch_outs[$1]}
  wait "${exit_watch_pids[i]}" || rc=$?
  if ((rc != 0)); then
    not_ok "$what" "$(grep -v -e wine32 -e multiarch -e 'dpkg --add' -e 'apt-get install' "$out.err" | tr '\n' ' ')"
  else
    check_equal "$what with exit code $want" "$(sed -n 's/^exited //p' "$out")" "$want"
  fi
}

# The install log, where the program's GetTempPathW points; set once the environment is up.
install_log=

# --- the cases ------------------------------------------------------------------------------------

# 新增: the boxes start with the main window's address and the profile's printer name; a custom
# word with "_" is refused; 大廳 / 10.0.0.9 / 大廳印表機 makes a byte-identical copy and says so.
case_add() {
  begin_case add || return
  rm -f "$install_log"
  # Typed but not confirmed: the copy window takes the box as it is.
  drv set-text "$title" Form1.Text1 10.0.0.8 && wait_text "$title" Form1.Text1 10.0.0.8 ||
    { give_up "add: 10.0.0.8 is typed into the main window" "$(driver_error)"; return; }
  open_copy_window || return
  check_state "add: Filename.Text1 holds the custom word 安裝" get-text "$copy_title" Filename.Text1 安裝
  check_state "add: Filename.Text2 holds the main window's address" \
    get-text "$copy_title" Filename.Text2 10.0.0.8
  check_state "add: Filename.Text3 holds the profile's printer name" \
    get-text "$copy_title" Filename.Text3 "$printer"
  check_state "add: the main window stays usable beside the copy window" is-enabled "$title" Form1 true
  shot_window copies-96dpi.png "$copy_title" Filename
  check_labels_fit

  set_box Filename.Text1 3F_East || { give_up "add: 3F_East is typed" "$(driver_error)"; return; }
  drv click "$copy_title" Filename.Command1 || { give_up "add: 新增 is clicked" "$(driver_error)"; return; }
  expect_box "add: an underscore in the custom word is refused, naming the box" "$copy_title" \
    "「自訂名稱」不可包含底線「_」：安裝時會以底線分開檔名中的自訂名稱、IP位址與印表機名稱。" ||
    { diagnose; end_case; return; }
  drv msgbox-press "$copy_title" ok || { give_up "add: OK is pressed" "$(driver_error)"; return; }
  check_equal "add: nothing is copied for a refused name" "$(find "$package" -maxdepth 1 -name '3F*' | wc -l)" 0

  local copy=大廳_10.0.0.9_大廳印表機.exe
  set_box Filename.Text1 大廳 && set_box Filename.Text2 10.0.0.9 && set_box Filename.Text3 大廳印表機 ||
    { give_up "add: 大廳 / 10.0.0.9 / 大廳印表機 are typed" "$(driver_error)"; return; }
  drv click "$copy_title" Filename.Command1 || { give_up "add: 新增 is clicked" "$(driver_error)"; return; }
  expect_box "add: 新增 says 新增完成 (Velmora)" Velmora 新增完成 || { diagnose; end_case; return; }
  check_same_bytes "add: $copy is byte for byte $installer" "$copy"
  drv msgbox-press Velmora ok || { give_up "add: OK is pressed on 新增完成" "$(driver_error)"; return; }
  # After the half-second wait the shell opens the folder; the log says so with its result.
  if velmora_poll 10 grep -aq '開啟 .*（open，視窗 9） → ' "$install_log"; then
    check_equal "add: the folder is opened restored through the shell" \
      "$(grep -a -o '開啟 .*（open，視窗 9） → .*' "$install_log" | tr -d '\r')" \
      "開啟 $(velmora_wine winepath -w "$package" | tr -d '\r')（open，視窗 9） → 成功"
  else
    not_ok "add: the folder is opened restored through the shell" "no such event in $install_log"
  fi
  if wait_state is-visible "$copy_title" Filename true; then
    ok "add: the copy window stays open for further copies"
  else
    not_ok "add: the copy window stays open for further copies" "$(driver_error)"
  fi
  check_equal "add: the program still runs" "$(drv process-count "$installer")" 1
  end_case
}

# 新增後安裝: the copy runs from the package folder, its own notice and its install take the
# address and the printer name from its file name, and the first program ends when it has ended,
# with its exit code. The file name's address is 127.0.0.2, where nothing answers: the copy's run
# asks about it before it changes anything, which holds its notice still to be read.
case_add_and_install() {
  begin_case add-and-install || return
  # The first program's address box differs from the copy's (127.0.0.2, from its file name): the
  # two main windows share a title, and this tells which one a lookup found.
  drv set-text "$title" Form1.Text1 10.0.0.8 && wait_text "$title" Form1.Text1 10.0.0.8 ||
    { give_up "add-and-install: 10.0.0.8 is typed into the main window" "$(driver_error)"; return; }
  open_copy_window || return
  local name='會議室 彩色印表機' copy
  copy="會議室_127.0.0.2_$name.exe"
  set_box Filename.Text1 會議室 && set_box Filename.Text2 127.0.0.2 && set_box Filename.Text3 "$name" ||
    { give_up "add-and-install: 會議室 / 127.0.0.2 / $name are typed" "$(driver_error)"; return; }
  exit_watch_pids=() exit_watch_outs=()
  start_image_watch "$installer" 60000 ||
    { give_up "add-and-install: the end of $installer is watched" "$(cat "${exit_watch_outs[0]}.err")"; return; }
  drv click "$copy_title" Filename.ADD_isntall_Command ||
    { give_up "add-and-install: 新增後安裝 is clicked" "$(driver_error)"; return; }

  if wait_state is-visible "$copy_title" Filename false 10; then
    ok "add-and-install: the copy window hides"
  else
    not_ok "add-and-install: the copy window hides" "$(driver_error)"
  fi
  check_same_bytes "add-and-install: $copy is byte for byte $installer" "$copy"
  if velmora_poll 20 bash -c '[[ $(wine "$0" process-count "$1" 2>/dev/null) == 1 ]]' "$driver" "$copy"; then
    ok "add-and-install: the copy runs"
  else
    give_up "add-and-install: the copy runs" "no process $copy"
    return
  fi
  start_image_watch "$copy" 60000 ||
    { give_up "add-and-install: the end of the copy is watched" "$(cat "${exit_watch_outs[1]}.err")"; return; }
  # The copy starts in its own main window, with the address and the name its file name carries:
  # what the user confirms there is what the copy installs.
  if wait_text "$title" Form1.Text1 127.0.0.2 15; then
    ok "add-and-install: the copy's main window shows its file name's address"
  else
    give_up "add-and-install: the copy's main window shows its file name's address" "$(driver_error)"
    return
  fi
  check_state "add-and-install: the copy's main window shows its file name's printer name" \
    get-text "$title" Form1.Text2 "$name"
  check_equal "add-and-install: the first program waits for the copy" "$(drv process-count "$installer")" 1

  drv key "$title" Form1.Text1 enter || { give_up "add-and-install: Enter is sent" "$(driver_error)"; return; }
  expect_box "add-and-install: the copy asks whether to install" 提示 \
    $'IP 已設定完成。\r\n\r\n您是否要立即安裝驅動程式？' || { diagnose; end_case; return; }
  drv msgbox-press 提示 yes || { give_up "add-and-install: Yes is pressed" "$(driver_error)"; return; }
  # Nothing answers on the file name's address: before its first change the copy asks, and its
  # notice, naming the printer, stays up while the question is open.
  local question=$'印表機 127.0.0.2 沒有回應（連接埠 9100）。\r\n\r\n請確認印表機已開機並接上網路。\r\n仍要安裝嗎？'
  expect_box "add-and-install: the copy asks about the printer at its file name's address" Velmora \
    "$question" 30000 || { diagnose; end_case; return; }
  if wait_text "$notice_title" msg.PrintNameLabel "$name" 10; then
    ok "add-and-install: the copy's notice shows the printer name from its file name"
  else
    not_ok "add-and-install: the copy's notice shows the printer name from its file name" "$(driver_error)"
  fi
  check_state "add-and-install: the copy's notice says it checks the printer" \
    get-text "$notice_title" msg.Label2 "正在...確認印表機"
  local notice
  # The box hides the notice; moved below it, the notice is seen whole.
  if notice=$(rect_of "$notice_title" msg) && box_clear_of Velmora "$notice"; then
    shot copies-notice.png "$notice"
  else
    not_ok "add-and-install: screenshot copies-notice.png" "$(driver_error)"
  fi
  drv msgbox-press Velmora yes || { give_up "add-and-install: Yes is pressed on the question" "$(driver_error)"; return; }

  local text
  text=$(drv --timeout=60000 msgbox-text Velmora) && [[ $text != "$question" ]] ||
    { give_up "add-and-install: the copy's run ends with a summary (Velmora)" "$(driver_error)"; return; }
  # Wine has no TCP/IP port class: the summary names the port of the file name's address, and
  # the printer left out for want of it by the file name's printer name, as the notice showed it;
  # nothing was installed, so nothing is renamed.
  if [[ $text == *'新增連接埠 IP_127.0.0.2'* ]]; then
    ok "add-and-install: the copy makes the port of its file name's address"
  else
    not_ok "add-and-install: the copy makes the port of its file name's address" "$(shown "$text")"
  fi
  if [[ $text == *$'● 安裝印表機「'"$name"$'」\r\n    連接埠 IP_127.0.0.2 沒有建立，這台印表機沒有安裝。'* &&
    $text != *改名為* ]]; then
    ok "add-and-install: without the port the copy installs no printer and renames none"
  else
    not_ok "add-and-install: without the port the copy installs no printer and renames none" "$(shown "$text")"
  fi
  check_equal "add-and-install: the first program still waits while the copy's summary is open" \
    "$(drv process-count "$installer")" 1
  drv msgbox-press Velmora ok || { give_up "add-and-install: OK is pressed" "$(driver_error)"; return; }
  finish_image_watch 1 "add-and-install: the copy ends" 1603
  finish_image_watch 0 "add-and-install: the first program ends when the copy has ended" 1603
  # ip.ini belongs to every copy and to the installer: a copy's run leaves it alone.
  check_ini "add-and-install: the copy's run leaves ip.ini as it was" "$profile_line"
  end_case
}

case_screens_144() {
  case_name=screens-144
  set_dpi_seen 144 screens-144
  if begin_case screens-144 && open_copy_window; then
    shot_window copies-144dpi.png "$copy_title" Filename
    check_labels_fit
    end_case
  fi
  velmora_set_dpi 96
}

# --- environment ----------------------------------------------------------------------------------

# The copy's address, where nothing may answer.
ports_free 127.0.0.2 9100 631 515 || exit 1
cases_up

find_install_log

case_add
case_add_and_install
case_screens_144

((failed == 0))
