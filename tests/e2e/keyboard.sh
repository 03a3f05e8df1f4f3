#!/usr/bin/env bash
# The keyboard under Wine: Tab goes only to controls the user sees (around the whole package maker
# and the main window, never to a hidden field or an off-screen tool button), and Enter and Escape
# behave as in a Windows dialog (the package maker's 確定 and 取消, the copy window's 新增 and its
# close, the about window's close) while the main window keeps its own Enter and Escape.
# Each case starts the program fresh in a package folder of its own.
#
#   tests/e2e/keyboard.sh <Velmora.exe> <velmora-e2e.exe> <artifact-dir>
#
# One "ok - ..." or "not ok - ..." line per check, then "N passed, M failed". The whole run is
# bounded by VELMORA_KEYBOARD_TIMEOUT seconds (default 180).
set -u -o pipefail

# shellcheck source=tests/e2e/cases.sh
source "$(dirname "${BASH_SOURCE[0]}")/cases.sh"
run_bounded VELMORA_KEYBOARD_TIMEOUT 180 "$@"
clear_artifacts 'failure-keyboard-*.png'

# shellcheck source=tests/e2e/wine-env.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

readonly title='Velmora  安裝驅動程式  '
readonly maker_title='一鍵安裝製作'
readonly copy_title='建立一鍵安裝檔'
readonly about_title='關於'
readonly desktop=velmora
readonly profile_line='ip,10.0.0.7,Office,Model X,x.inf,100'

# shellcheck source=tests/e2e/checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
report_at_exit

# Each case (cases.sh) has a package folder /tmp/velmora-keyboard.* holding the program as 安裝.exe
# (the copy window copies that name), ip.ini and a small INF; a failure leaves
# failure-keyboard-CASE.png and the main window's controls in the log.
package_prefix=keyboard
package_exe=安裝.exe
fill_package() { small_inf >"$package/x.inf"; }
failure_picture=failure-keyboard-
diagnose_boxes=(Velmora 提示 "$copy_title")
diagnose_list=$title

# tour WHAT TITLE FROM STOP...: gives FROM the focus, presses Tab once per STOP and checks that
# the focus goes to each STOP in turn, every one shown and not lying outside the window's client
# area (the main window's name box runs two pixels past its edges by design; the last STOP is FROM
# again: the tour closes).
tour() {
  local what=$1 win=$2 from=$3 line name state place seen=() unseen=()
  shift 3
  drv focus "$win" "$from" || {
    not_ok "$what: $from takes the focus" "$(driver_error)"
    return 1
  }
  local _stop
  for _stop in "$@"; do
    if ! line=$(drv tab "$win"); then
      not_ok "$what" "after ${seen[*]:-$from}: $(driver_error)"
      return 1
    fi
    read -r name state place <<<"$line"
    seen+=("${name#*.}")
    [[ $state == visible && $place != outside ]] || unseen+=("$line")
  done
  check_equal "$what: Tab goes $from → $*" "${seen[*]}" "$*"
  if ((${#unseen[@]} == 0)); then
    ok "$what: every control Tab reached is shown in the window"
  else
    not_ok "$what: every control Tab reached is shown in the window" "${unseen[@]}"
  fi
}

open_maker() {
  drv menu "$title" 設定值 && drv wait-window "$maker_title" 10000
}

# --- cases ----------------------------------------------------------------------------------------

# Tab from 取消 around the whole package maker: the twelve controls the user sees, in the designed
# order, and none of the hidden fields beside them; Enter on the focused 取消 then cancels.
case_maker_tab() {
  begin_case maker-tab "$profile_line" || return
  open_maker || { give_up "maker-tab: 設定值 opens the maker" "$(driver_error)"; return; }
  tour "maker-tab" "$maker_title" ADVSET.Command3 \
    Text4 Command6 Text3 find_INI Text2 Check1 Check2 Check3 Command5 Command7 Command2 Command3
  drv set-text "$maker_title" ADVSET.Text2 "別名" && drv focus "$maker_title" ADVSET.Command3 &&
    drv key "$maker_title" ADVSET.Command3 enter && drv wait-gone "$maker_title" 10000 ||
    { give_up "maker-tab: Enter on the focused 取消 closes the maker" "$(driver_error)"; return; }
  ok "maker-tab: Enter on the focused 取消 closes the maker"
  check_ini "maker-tab: Enter on 取消 leaves ip.ini unchanged" "$profile_line"
  end_case
}

# The main window: Tab walks its four visible controls and never lands on the tool buttons that
# lie outside the window; with two printers the disabled name box is left out too.
case_main_tab() {
  begin_case main-tab "$profile_line" || return
  tour "main-tab" "$title" Form1.Command1 Text1 Command2 Text2 Command1
  end_case
  begin_case main-tab-two "ip,10.0.0.7,Office,Model X,x.inf,001" || return
  tour "main-tab-two" "$title" Form1.Command1 Text1 Command2 Command1
  end_case
}

# Enter in each single-line box of the package maker saves, as 確定 does; Escape in a box or on a
# check box closes it without saving.
case_maker_keys() {
  begin_case maker-keys "$profile_line" || return
  local box n=0 saved=$profile_line
  for box in Text2 Text3 Text4; do
    n=$((n + 1))
    open_maker && drv set-text "$maker_title" ADVSET.Text2 "名稱$n" &&
      drv focus "$maker_title" "ADVSET.$box" && drv key "$maker_title" "ADVSET.$box" enter &&
      drv wait-gone "$maker_title" 10000 ||
      { give_up "maker-keys: Enter in ADVSET.$box saves and closes" "$(driver_error)"; return; }
    saved="ip,10.0.0.7,名稱$n,Model X,x.inf,100"
    check_ini "maker-keys: Enter in ADVSET.$box saves and closes" "$saved"
    if wait_text "$title" Form1.Text2 "名稱$n"; then
      ok "maker-keys: the main window shows 名稱$n"
    else
      not_ok "maker-keys: the main window shows 名稱$n" "$(driver_error)"
    fi
  done
  local control
  for control in Text2 Check1; do
    open_maker && drv set-text "$maker_title" ADVSET.Text2 "不存" &&
      drv focus "$maker_title" "ADVSET.$control" &&
      drv key "$maker_title" "ADVSET.$control" escape && drv wait-gone "$maker_title" 10000 ||
      { give_up "maker-keys: Escape on ADVSET.$control closes the maker" "$(driver_error)"; return; }
    check_ini "maker-keys: Escape on ADVSET.$control closes the maker without saving" "$saved"
  done
  end_case
}

# The copy window: Enter in a box presses 新增 (the custom word 3F_East is refused, so nothing is
# copied), Escape closes the window and the main window stays.
case_copy_keys() {
  begin_case copy-keys "$profile_line" || return
  drv menu "$title" 建立一鍵安裝檔 && drv wait-window "$copy_title" 10000 ||
    { give_up "copy-keys: 建立一鍵安裝檔 opens the copy window" "$(driver_error)"; return; }
  drv set-text "$copy_title" Filename.Text1 3F_East && drv focus "$copy_title" Filename.Text1 &&
    drv key "$copy_title" Filename.Text1 enter ||
    { give_up "copy-keys: Enter in Filename.Text1" "$(driver_error)"; return; }
  local said
  if said=$(drv msgbox-text "$copy_title") && [[ $said == *底線* ]]; then
    ok "copy-keys: Enter in a box presses 新增, which refuses 3F_East"
  else
    not_ok "copy-keys: Enter in a box presses 新增, which refuses 3F_East" \
      "the box says $(shown "${said:-}") $(driver_error)"
  fi
  [[ -z ${said:-} ]] || drv msgbox-press "$copy_title" ok
  local copies
  copies=$(find "$package" -name '*.exe' ! -name 安裝.exe | wc -l)
  check_equal "copy-keys: nothing is copied" "$copies" 0
  drv focus "$copy_title" Filename.Text2 && drv key "$copy_title" Filename.Text2 escape &&
    drv wait-gone "$copy_title" 10000 ||
    { give_up "copy-keys: Escape closes the copy window" "$(driver_error)"; return; }
  ok "copy-keys: Escape closes the copy window"
  if drv wait-window "$title" 2000; then
    ok "copy-keys: the main window stays"
  else
    not_ok "copy-keys: the main window stays" "$(driver_error)"
  fi
  end_case
}

# Escape closes the about window; in the main window's address box it does nothing (a character
# typed after it arrives, and no message box opens): the box keeps its designed keys.
case_about_and_main() {
  begin_case about-main "$profile_line" || return
  drv menu "$title" 關於 && drv wait-window "$about_title" 10000 ||
    { give_up "about-main: 關於 opens the about window" "$(driver_error)"; return; }
  drv focus "$about_title" form1_about.Command5 &&
    drv key "$about_title" form1_about.Command5 escape && drv wait-gone "$about_title" 10000 ||
    { give_up "about-main: Escape closes the about window" "$(driver_error)"; return; }
  ok "about-main: Escape closes the about window"
  drv set-text "$title" Form1.Text1 "" && drv focus "$title" Form1.Text1 &&
    drv key "$title" Form1.Text1 escape && drv type "$title" Form1.Text1 x &&
    wait_text "$title" Form1.Text1 x ||
    { give_up "about-main: the address box takes a key after Escape" "$(driver_error)"; return; }
  if drv --timeout=0 msgbox-text Velmora >/dev/null || drv --timeout=0 msgbox-text 提示 >/dev/null; then
    not_ok "about-main: Escape in the address box opens nothing"
  else
    ok "about-main: Escape in the address box opens nothing"
  fi
  end_case
}

# --- environment ----------------------------------------------------------------------------------

cases_up

case_maker_tab
case_main_tab
case_maker_keys
case_copy_keys
case_about_and_main

((failed == 0))
