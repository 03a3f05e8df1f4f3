#!/usr/bin/env bash
# The main window's tool buttons under Wine. They lie outside the client area, so the driver
# clicks them with BM_CLICK, as a program of the technician's would. Wine's own WMI is the
# oracle where one is needed; which calls Wine serves and which it refuses is in README.md.
#
#   tests/e2e/tools.sh <Velmora.exe> <velmora-e2e.exe> <artifact-dir>
#
# One "ok - ..." or "not ok - ..." line per check, then "N passed, M failed". The whole run is
# bounded by VELMORA_TOOLS_TIMEOUT seconds (default 240).
set -u -o pipefail

# shellcheck source=tests/e2e/cases.sh
source "$(dirname "${BASH_SOURCE[0]}")/cases.sh"
run_bounded VELMORA_TOOLS_TIMEOUT 240 "$@"
clear_artifacts 'tools-*.png' 'failure-tools-*.png'

# shellcheck source=tests/e2e/wine-env.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

readonly title='Velmora  安裝驅動程式  '
readonly maker_title='一鍵安裝製作'
readonly notice_title='安裝驅動程式'
readonly desktop=velmora
readonly profile_line='ip,10.0.0.7,Office,Model X,x.inf,100'
readonly ports_key='HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Ports'
readonly share_port='\\192.168.10.10\printer'

# shellcheck source=tests/e2e/checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
report_at_exit

# Each case (cases.sh) has a package folder /tmp/velmora-tools.* holding the program, ip.ini and a
# small INF with one model, and no install log of an earlier case; a failure leaves
# failure-tools-CASE.png.
package_prefix=tools
fill_package() {
  rm -f "$install_log"
  { small_inf && printf '[M]\r\n"Model X" = X\r\n'; } >"$package/x.inf"
}
failure_picture=failure-tools-
main_window_check='the main window appears'

# expect_box_ok WHAT TEXT [TIMEOUT-MS]: a box titled Velmora is open and says exactly TEXT; OK
# closes it.
expect_box_ok() {
  local what=$1 want=$2 ms=${3:-10000} got
  if ! got=$(drv --timeout="$ms" msgbox-text Velmora); then
    not_ok "$what" "$(driver_error)"
    return 1
  fi
  check_equal "$what" "$got" "$want"
  drv msgbox-press Velmora ok || true
  [[ $got == "$want" ]]
}

# expect_box_start WHAT PREFIX: the box says PREFIX and more (an error's text is Wine's own).
expect_box_start() {
  local what=$1 want=$2 got
  if ! got=$(drv --timeout=10000 msgbox-text Velmora); then
    not_ok "$what" "$(driver_error)"
    return 1
  fi
  if [[ $got == "$want"* ]]; then
    ok "$what"
  else
    not_ok "$what" "got:      $(shown "$got")" "expected: $(shown "$want")..."
    return 1
  fi
}

# check_log WHAT PATTERN...: the install log holds an event matching each shell PATTERN; a
# pattern starting with ! must match none.
check_log() {
  local what=$1 events want missing=()
  shift
  cp "$install_log" "$VELMORA_E2E_LOG/$case_name.Velmora.log" 2>/dev/null
  events=$(sed 's/^[^ ]* [^ ]* //; s/\r$//' "$install_log" 2>/dev/null)
  for want in "$@"; do
    if [[ $want == '!'* ]]; then
      # shellcheck disable=SC2053  # a pattern
      while IFS= read -r event; do [[ $event == ${want#!} ]] && missing+=("unexpected: $event"); done <<<"$events"
    else
      local found=no event
      while IFS= read -r event; do
        # shellcheck disable=SC2053  # a pattern
        [[ $event == $want ]] && found=yes && break
      done <<<"$events"
      [[ $found == yes ]] || missing+=("missing: $want")
    fi
  done
  if ((${#missing[@]} == 0)); then
    ok "$what"
  else
    not_ok "$what" "${missing[@]}" "see $VELMORA_E2E_LOG/$case_name.Velmora.log"
  fi
}

# wmic writes UTF-16 when its output is redirected; each value is one line of a column.
wmic_values() {
  velmora_wine wmic "$@" | iconv -f UTF-16 -t UTF-8 | tr -d '\r' | tail -n +2 | sed 's/ *$//' | grep -v '^$'
}

# The main window's client area: "X Y W H" on the desktop, then X Y on the X screen.
client_area() {
  local origin ox oy x y w h
  read -r x y w h < <(drv client-rect "$title") || return 1
  [[ -n ${h:-} ]] || return 1
  origin=$(velmora_desktop_origin "$desktop")
  read -r ox oy <<<"${origin:-0 0}"
  echo "$x $y $w $h $((ox + x)) $((oy + y))"
}

# --- the cases ------------------------------------------------------------------------------------

# 作業系統版本: Wine's caption and version, as Wine's WMI gives them.
case_version() {
  begin_case version || return
  local caption version
  caption=$(wmic_values os get Caption | head -n 1)
  version=$(wmic_values os get Version | head -n 1)
  echo "# Win32_OperatingSystem by wmic: \"$caption\" \"$version\""
  drv click "$title" Form1.Command7 || { give_up "version: 作業系統版本 is clicked" "$(driver_error)"; return; }
  expect_box_ok "version: 作業系統版本 shows the caption, two blanks and the version" "$caption  $version"
  if drv wait-window "$title" 5000; then
    ok "version: the main window stays"
  else
    not_ok "version: the main window stays" "$(driver_error)"
  fi
  stop_program
}

# 檢查驅動是否安裝: one box per printer Wine's WMI lists, then nothing more. 作業系統版本 is
# clicked after those boxes: the program takes the clicks in turn, so the next box is its own,
# unless the check showed one more than it should.
case_driver_check() {
  begin_case driver-check || return
  local names=() name box
  # Wine's wmic ends with 255 and prints nothing for a query without rows.
  mapfile -t names < <(wmic_values path Win32_Printer get Name)
  echo "# Win32_Printer by wmic: ${#names[@]} printer(s)"
  drv click "$title" Form1.Command3 || { give_up "driver-check: the button is clicked" "$(driver_error)"; return; }
  for name in "${names[@]}"; do
    if [[ $name == *"Model X"* ]]; then box=有找到印表機; else box=沒找到印表機; fi
    expect_box_ok "driver-check: printer \"$name\" says $box" "$box" || { diagnose; break; }
  done
  drv click "$title" Form1.Command7 || { give_up "driver-check: 作業系統版本 is clicked" "$(driver_error)"; return; }
  local os_text
  os_text="$(wmic_values os get Caption | head -n 1)  $(wmic_values os get Version | head -n 1)"
  expect_box_ok "driver-check: ${#names[@]} box(es) for the printers, none more" "$os_text"
  # The model comes from ip.ini itself: no package maker window is made for it.
  if drv is-visible "$maker_title" ADVSET >/dev/null; then
    not_ok "driver-check: no package maker window is made to read the model" "one exists"
  else
    ok "driver-check: no package maker window is made to read the model"
  fi
  stop_program
}

# The value's type and data; awk -v would read the backslashes of the name as escapes.
port_value() {
  velmora_reg_query "$ports_key" /v "$share_port" 2>/dev/null |
    tr -d '\r' | NAME=$share_port awk 'index($0, ENVIRON["NAME"]) { print $(NF - 1), $NF }'
}

spooler_state() {
  wmic_values path Win32_Service get Name,State | awk '$1 == "Spooler" { print $2 }'
}

# LocalPort: the fixed share port under HKLM's Ports key, the spooler up again, and "ok".
case_local_port() {
  velmora_wine reg delete "$ports_key" /v "$share_port" /f >/dev/null 2>&1
  [[ -z $(port_value) ]] || { not_ok "local-port: the value is deleted before the start" "it reads $(port_value)"; return; }
  begin_case local-port || return
  local round
  for round in 1 2; do
    drv click "$title" Form1.local_port || { give_up "local-port: LocalPort is clicked" "$(driver_error)"; return; }
    expect_box_ok "local-port: click $round says ok" ok || diagnose
  done
  check_equal "local-port: $share_port is a REG_SZ value holding REG_SZ" "$(port_value)" "REG_SZ REG_SZ"
  local count
  count=$(velmora_reg_query "$ports_key" | grep -c -F "$share_port")
  check_equal "local-port: two clicks leave one value" "$count" 1
  check_equal "local-port: the spooler runs afterwards" "$(spooler_state)" Running
  stop_program
  check_log "local-port: the log holds both restarts and writes" \
    "WMI 呼叫 Win32_Service.Name='spooler'.StopService() → 傳回 *" \
    "WMI 呼叫 StdRegProv.SetStringValue(2147483650, *\"${share_port//\\/\\\\}\", \"REG_SZ\") → 傳回 0" \
    "WMI 呼叫 Win32_Service.Name='spooler'.StartService() → 傳回 *"
}

# VBS: Wine has no Win32_TCPIPPrinterPort, so the port step fails; it is told by name with
# its error number, and nothing after it runs.
case_vbs() {
  begin_case vbs || return
  drv click "$title" Form1.Command4 || { give_up "vbs: VBS is clicked" "$(driver_error)"; return; }
  expect_box_start "vbs: the failed port is told by name with Wine's error number" \
    $'無法新增連接埠 IP_10.0.0.7，印表機「Office」沒有安裝。\r\n\r\n錯誤 0x80041002：' || diagnose
  start_exit_watch 20000
  drv msgbox-press Velmora ok || true
  finish_exit_watch "vbs: OK ends the program" 1603
  check_log "vbs: the log holds the failed step, and no driver or printer call" \
    '步驟失敗：新增連接埠 IP_10.0.0.7：錯誤 0x80041002*' '!*AddPrinterDriver*' '!*Win32_Printer*' \
    '結束，結束代碼 1603'
}

# Command5 prints its path line on the main window before anything else; the picture of the
# window's top rows changes while the port's failure is told.
case_command5() {
  begin_case command5 || return
  local area x y w h sx sy
  area=$(client_area) || { give_up "command5: the client area is found" "$(driver_error)"; return; }
  read -r x y w h sx sy <<<"$area"
  # The first printed line lies in the top rows, above the address box.
  local strip="${w}x20+$sx+$sy"
  velmora_screenshot_settled "$artifacts/tools-command5-before.png" "$strip" 10 ||
    { give_up "command5: the window's top rows are taken" "the picture did not settle"; return; }
  drv click "$title" Form1.Command5 || { give_up "command5: Command5 is clicked" "$(driver_error)"; return; }
  expect_box_start "command5: the failed port is told by name" \
    $'無法新增連接埠 IP_10.0.0.7，印表機「Office」沒有安裝。' || diagnose
  # Clear of the window, so its rows are seen whole.
  drv move Velmora "$x" $((y + h + 40)) >/dev/null || true
  velmora_screenshot_settled "$artifacts/tools-command5-after.png" "$strip" 10
  velmora_screenshot_settled "$artifacts/tools-command5.png" "${w}x${h}+$sx+$sy" 10 ||
    not_ok "command5: screenshot tools-command5.png" "the picture did not settle within 10 s"
  local changed
  changed=$(compare -metric AE "$artifacts/tools-command5-before.png" "$artifacts/tools-command5-after.png" null: 2>&1)
  if [[ $changed =~ ^[0-9]+$ ]] && ((changed >= 50)); then
    ok "command5: the path line is drawn on the main window ($changed px of its top rows changed)"
  else
    not_ok "command5: the path line is drawn on the main window" "$changed px changed (see tools-command5-*.png)"
  fi
  start_exit_watch 20000
  drv msgbox-press Velmora ok || true
  finish_exit_watch "command5: OK ends the program" 1603
}

# setup now: an invalid address and a name no command line can carry are refused before
# anything is done; then the port fails (Wine has no Win32_TCPIPPrinterPort), nothing starts
# for the printer, and the main window still gives way to the notice window.
case_setup_now() {
  begin_case setup-now || return
  drv set-text "$title" Form1.Text1 256.1.1.1 ||
    { give_up "setup-now: 256.1.1.1 is typed" "$(driver_error)"; return; }
  drv click "$title" Form1.Command6 || { give_up "setup-now: setup now is clicked" "$(driver_error)"; return; }
  expect_box_ok "setup-now: an invalid address is refused" "IP不正確"
  drv set-text "$title" Form1.Text1 10.0.0.8 && drv set-text "$title" Form1.Text2 'Office" & echo "x' ||
    { give_up "setup-now: the boxes are filled" "$(driver_error)"; return; }
  drv click "$title" Form1.Command6 || { give_up "setup-now: setup now is clicked" "$(driver_error)"; return; }
  expect_box_ok "setup-now: a printer name with a quote is refused" \
    $'「印表機名稱」含有雙引號「"」，不能放進安裝的命令列。\r\n\r\n沒有安裝任何東西。'
  check_equal "setup-now: the main window stays after a refusal" "$(drv is-visible "$title" Form1)" true
  drv set-text "$title" Form1.Text2 Office ||
    { give_up "setup-now: the name is set" "$(driver_error)"; return; }
  drv click "$title" Form1.Command6 || { give_up "setup-now: setup now is clicked" "$(driver_error)"; return; }
  expect_box_start "setup-now: the failed port is told with Wine's error number" \
    $'無法新增連接埠 IP_10.0.0.8，印表機「Office」沒有安裝。\r\n\r\n錯誤 0x80041002：' || diagnose
  drv msgbox-press Velmora ok || true
  if drv wait-gone "$title" 10000; then
    ok "setup-now: the main window closes"
  else
    not_ok "setup-now: the main window closes" "$(driver_error)"
  fi
  # The notice is shown just after the main window has gone.
  local notice=
  notice_on_top() {
    notice="$(drv is-visible "$notice_title" msg) $(drv is-topmost "$notice_title" msg)"
    [[ $notice == "true true" ]]
  }
  velmora_poll 5 notice_on_top
  check_equal "setup-now: the notice window stays, on top" "$notice" "true true"
  start_exit_watch 20000
  drv close "$notice_title" || true
  finish_exit_watch "setup-now: closing the notice ends the program" 1603
  check_log "setup-now: the log holds the failed port and no started line" \
    '步驟失敗：新增連接埠 IP_10.0.0.8：錯誤 0x80041002*' '!啟動 cmd *' '!啟動 rundll32*' \
    '結束，結束代碼 1603'
}

# --- environment ----------------------------------------------------------------------------------

cases_up

# The program's GetTempPathW takes %TMP% first; Wine sets it in the prefix.
install_log=/nonexistent/Velmora.log
find_install_log

case_version
case_driver_check
case_local_port
case_vbs
case_command5
case_setup_now

((failed == 0))
