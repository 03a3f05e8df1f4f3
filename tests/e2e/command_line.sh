#!/usr/bin/env bash
# The command line under Wine, as a deployment tool starts the real program: 安裝.exe in a
# package folder with switches, its exit code read as the tool reads it (start /wait), every
# window it shows watched while it runs.
#
#   tests/e2e/command_line.sh <Velmora.exe> <velmora-e2e.exe> <artifact-dir>
#
# One "ok - ..." or "not ok - ..." line per check, then "N passed, M failed". The whole run is
# bounded by VELMORA_COMMAND_LINE_TIMEOUT seconds (default 300).
set -u -o pipefail

# shellcheck source=tests/e2e/cases.sh
source "$(dirname "${BASH_SOURCE[0]}")/cases.sh"
run_bounded VELMORA_COMMAND_LINE_TIMEOUT 300 "$@"
clear_artifacts 'command-line-*.png' 'failure-command-line-*.png'

# shellcheck source=tests/e2e/wine-env.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

readonly title='Velmora  安裝驅動程式  '
readonly notice_title='安裝驅動程式'
readonly desktop=velmora
readonly installer=安裝.exe
# The printer answers: the listener on 127.0.0.1:9100, started below.
readonly profile_line='ip,127.0.0.1,Office,Model X,x.inf,100'
# Every window the program may show: the main window, the notice and the message boxes.
readonly watched_titles=("$title" "$notice_title" Velmora 提示)
install_log=

# shellcheck source=tests/e2e/checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
report_at_exit

package_prefix=command-line
package_exe=$installer
fill_package() {
  small_inf >"$package/x.inf"
  # What a deployment tool does: start the program, wait for its end, keep its exit code.
  printf '@start "" /wait "%s" %%*\r\n@echo %%errorlevel%%> exitcode.txt\r\n' "$installer" |
    iconv -f UTF-8 -t CP950 >"$package/run.bat"
}
failure_picture=failure-command-line-
restart_after_case=yes

# launch ARGS...: the program of a fresh package with ARGS, through run.bat in the desktop.
launch() {
  new_package "$profile_line"
  rm -f "$install_log"
  velmora_desktop_up "$desktop" "$driver" || true
  (cd "$package" && exec wine explorer "/desktop=$desktop,1024x768" cmd /c run.bat "$@") \
    >"$VELMORA_E2E_LOG/program-$case_name.log" 2>&1 &
  program_pid=$!
  program_image=$installer
}

# watch_until_end: the titles of the program's windows seen until run.bat has its exit code, in
# seen; the code in code. False when it never ends within the time.
watch_until_end() {
  local deadline=$((SECONDS + 90)) t
  seen=()
  code=
  while ((SECONDS < deadline)); do
    for t in "${watched_titles[@]}"; do
      if drv wait-window "$t" 0 >/dev/null 2>&1 && [[ " ${seen[*]-} " != *" $t "* ]]; then
        seen+=("$t")
      fi
    done
    if [[ -s $package/exitcode.txt ]]; then
      code=$(tr -d '\r\n ' <"$package/exitcode.txt")
      return 0
    fi
  done
  return 1
}

# The exit code the install log's last event states.
logged_code() {
  [[ -s $install_log ]] || return 1
  tail -n 1 "$install_log" | tr -d '\r' | sed -n 's/.*結束，結束代碼 \(-\?[0-9]*\)$/\1/p'
}

# Each file of the package but the exit code, with its size and time of change.
folder_state() {
  (cd "$package" && stat -c '%n %s %.9Y' -- * | grep -v '^exitcode.txt ')
}

finish() {
  stop_program
  [[ $restart_after_case != yes ]] || velmora_wineserver_restart
  case_name=
}

case_quiet() {
  case_name=quiet
  echo "# case: $case_name"
  launch /quiet
  watch_until_end || { give_up "quiet: the run ends within 90 s" "no exit code"; finish; return; }
  check_equal "quiet: no window at all is shown" "${seen[*]-}" ""
  check_equal "quiet: the exit code is the one the install log states" "$code" "$(logged_code)"
  check_ini "quiet: ip.ini is only read" "$profile_line"
  # The listener answers for the printer: the run has nothing to report about it.
  if grep -aq '探測 127.0.0.1 連接埠 9100 → 有回應' "$install_log" && ! grep -aq '沒有回應' "$install_log"; then
    ok "quiet: the printer answers on 9100, and no silence is logged"
  else
    not_ok "quiet: the printer answers on 9100, and no silence is logged" "see $install_log"
  fi
  finish
}

# /quiet for a printer that does not answer (nothing listens on 127.0.0.2): nobody is there to ask,
# so the run logs it and goes on with the install.
case_quiet_silent() {
  case_name='quiet-silent'
  echo "# case: $case_name"
  launch /quiet /ip=127.0.0.2
  watch_until_end || { give_up "quiet-silent: the run ends within 90 s" "no exit code"; finish; return; }
  check_equal "quiet-silent: no window at all is shown" "${seen[*]-}" ""
  check_equal "quiet-silent: the exit code is the one the install log states" "$code" "$(logged_code)"
  # The install went on and failed at the port, as every TCP/IP port does under Wine.
  check_equal "quiet-silent: the run ends with 1603" "$code" 1603
  local events copy=$VELMORA_E2E_LOG/quiet-silent.Velmora.log
  cp "$install_log" "$copy" 2>/dev/null
  events=$(sed 's/^[^ ]* [^ ]* //; s/\r$//' "$copy" 2>/dev/null)
  if grep -qxF '印表機 127.0.0.2 沒有回應（連接埠 9100）。 無人值守的安裝照常進行。' <<<"$events"; then
    ok "quiet-silent: the install log says the printer did not answer and the run went on"
  else
    not_ok "quiet-silent: the install log says the printer did not answer and the run went on" "see $copy"
  fi
  if grep -qxF '進度：正在...新增連接埠' <<<"$events" && ! grep -qF '使用者選擇不安裝' <<<"$events"; then
    ok "quiet-silent: the install goes on to the port"
  else
    not_ok "quiet-silent: the install goes on to the port" "see $copy"
  fi
  finish
}

# A network path makes the install wait for the spooler (3 s at least): the notice is there to see.
case_passive() {
  case_name=passive
  echo "# case: $case_name"
  launch /passive /name=Lobby '/ip=\\srv\hp'
  watch_until_end || { give_up "passive: the run ends within 90 s" "no exit code"; finish; return; }
  local other=() t
  for t in "${seen[@]}"; do [[ $t == "$notice_title" ]] || other+=("$t"); done
  check_equal "passive: no window but the notice is shown" "${other[*]-}" ""
  check_equal "passive: the notice is shown while the install runs" "${seen[*]-}" "$notice_title"
  check_equal "passive: the exit code is the one the install log states" "$code" "$(logged_code)"
  if grep -aq '安裝印表機「Lobby」\|/b "Lobby"\|/b Lobby' "$install_log"; then
    ok "passive: /name= names the printer installed"
  else
    not_ok "passive: /name= names the printer installed" "see $install_log"
  fi
  finish
}

# /? and a refused switch: a box with the usage; its OK ends the program.
case_usage_box() {
  local what=$1 want=$2 icon_text=$3
  shift 3
  case_name=$what
  echo "# case: $case_name"
  launch "$@"
  local text
  if ! text=$(drv --timeout=30000 msgbox-text Velmora); then
    give_up "$what: a box \"Velmora\" shows the usage" "$(driver_error)"
    finish
    return
  fi
  if [[ $text == *"/quiet"* && $text == *"/uninstall"* && $text == *"$icon_text"* ]]; then
    ok "$what: the box shows the usage"
  else
    not_ok "$what: the box shows the usage" "got: $(shown "$text")"
  fi
  drv msgbox-press Velmora ok || { give_up "$what: OK is pressed" "$(driver_error)"; finish; return; }
  watch_until_end || { give_up "$what: the run ends after OK" "no exit code"; finish; return; }
  check_equal "$what: the exit code" "$code" "$want"
  finish
}

# /uninstall without /quiet asks first; No removes nothing and ends with 1602.
case_uninstall_declined() {
  case_name=uninstall-declined
  echo "# case: $case_name"
  launch /uninstall
  local text
  if ! text=$(drv --timeout=30000 msgbox-text Velmora); then
    give_up "uninstall-declined: the question shows" "$(driver_error)"
    finish
    return
  fi
  check_equal "uninstall-declined: the question names the package's printer" "$text" '是否移除印表機「Office」？'
  drv msgbox-press Velmora no || { give_up "uninstall-declined: No is pressed" "$(driver_error)"; finish; return; }
  watch_until_end || { give_up "uninstall-declined: the run ends after No" "no exit code"; finish; return; }
  check_equal "uninstall-declined: No ends with 1602" "$code" 1602
  # A removal is logged as "移除印表機 NAME → …"; the question's own text is logged too.
  if grep -aq -e '移除印表機 ' -e '移除連接埠 ' "$install_log"; then
    not_ok "uninstall-declined: nothing is removed" "see $install_log"
  else
    ok "uninstall-declined: nothing is removed"
  fi
  finish
}

case_refused_quietly() {
  case_name=refused-quietly
  echo "# case: $case_name"
  launch /quiet /ip=1.2.3
  local before
  before=$(folder_state)
  watch_until_end || { give_up "refused-quietly: the run ends within 90 s" "no exit code"; finish; return; }
  check_equal "refused-quietly: /quiet /ip=1.2.3 ends with 1639" "$code" 1639
  check_equal "refused-quietly: no window at all is shown" "${seen[*]-}" ""
  check_equal "refused-quietly: nothing in the package folder is written" \
    "$(folder_state)" "$before"
  if grep -aq '命令列不正確：' "$install_log"; then
    ok "refused-quietly: the install log says why"
  else
    not_ok "refused-quietly: the install log says why" "see $install_log"
  fi
  finish
}

case_log_copy() {
  case_name=log-copy
  echo "# case: $case_name"
  launch /quiet "/log=run log.txt"
  watch_until_end || { give_up "log-copy: the run ends within 90 s" "no exit code"; finish; return; }
  local copy="$package/run log.txt"
  if [[ ! -s $copy ]]; then
    not_ok "log-copy: /log= writes the named file" "no $copy"
  elif ! iconv -f UTF-8 -t UTF-8 "$copy" >/dev/null 2>&1; then
    not_ok "log-copy: the copy is UTF-8" "see $copy"
  else
    check_equal "log-copy: the copy holds the run, from its start to its exit code" \
      "$(head -n 1 "$copy" | tr -d '\r' | sed 's/^[^ ]* [^ ]* //; s/，.*//')|$(tail -n 1 "$copy" | tr -d '\r' | sed 's/^[^ ]* [^ ]* //')" \
      "開始：$installer|結束，結束代碼 $code"
  fi
  finish
}

listener_up 127.0.0.1 9100 || exit 1
ports_free 127.0.0.2 9100 631 515 || exit 1
cases_up
find_install_log
case_quiet
case_quiet_silent
case_passive
case_usage_box help 0 "0" '/?'
case_usage_box bogus 1639 "1639" /bogus
case_uninstall_declined
case_refused_quietly
case_log_copy

((failed == 0))
