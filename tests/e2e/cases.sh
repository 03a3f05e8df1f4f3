# Sourced first by the Wine test scripts, before wine-env.sh: the run's frame (its arguments, its
# total timeout and its artifacts folder) and the cases' frame (a fresh package folder and a fresh
# program per case, its end, and what a failure leaves to explain it). These functions use those of
# wine-env.sh and checks.sh, which are sourced after it.
# shellcheck shell=bash disable=SC2154  # program, profile_line and the cases' settings: the caller's

# run_bounded TIMEOUT-VARIABLE DEFAULT-SECONDS ARGS...: checks the script's three arguments, then
# runs the script again under timeout, bounded by TIMEOUT-VARIABLE seconds (DEFAULT-SECONDS unless
# set), so a hung Wine can never hold the caller; TERM reaches the traps of report_at_exit. In that
# run it sets program, driver and artifacts from the arguments.
run_bounded() {
  local limit=$1 inner=${1%_TIMEOUT}_INNER
  run_seconds=${!limit:-$2}
  shift 2
  if [[ $# -ne 3 ]]; then
    echo "usage: $0 <path-to-Velmora.exe> <path-to-velmora-e2e.exe> <artifact-dir>" >&2
    exit 2
  fi
  if [[ -z ${!inner:-} ]]; then
    export "$inner=1"
    exec timeout --kill-after=30 "$run_seconds" "$BASH" "$0" "$@"
  fi
  program=$(realpath -e "$1") || exit 2
  # shellcheck disable=SC2034  # the driver is called through checks.sh
  driver=$(realpath -e "$2") || exit 2
  artifacts=$(realpath -m "$3")
}

# clear_artifacts PATTERN...: makes the artifacts folder, removes what an earlier run left there
# under a name that matches a PATTERN, and starts the log folder afresh (VELMORA_E2E_LOG, read by
# wine-env.sh).
clear_artifacts() {
  local pattern
  mkdir -p "$artifacts"
  for pattern in "$@"; do
    # shellcheck disable=SC2086  # a pattern
    rm -f "$artifacts"/$pattern
  done
  export VELMORA_E2E_LOG=$artifacts/logs
  rm -rf "$VELMORA_E2E_LOG"
}

# --- the cases' frame -----------------------------------------------------------------------------
# A script with cases sets these after sourcing checks.sh:
#   package_prefix      the package folders are /tmp/velmora-PREFIX.XXXXXX
#   package_exe         the program's name in them (default Velmora.exe)
#   fill_package        a function: what a package holds besides the program and ip.ini
#   failure_picture     a failure's picture is $artifacts/<this><case name>.png
#   diagnose_boxes      the titles of the message boxes a failure reports when they are open
#   diagnose_list       a window whose controls a failure lists in the driver log (default none)
#   main_window_check   the check's name when the main window never comes up
#   restart_after_case  yes: end_case restarts the wineserver as well (default no)

case_name=
package=
package_exe=Velmora.exe
diagnose_boxes=(Velmora 提示)
diagnose_list=
main_window_check='main window appears'
restart_after_case=no

# new_package LINE [EXE]: a fresh package folder in $package, removed at exit: the program as
# package_exe and also as EXE when that differs, ip.ini holding LINE (code page 950, CR LF), and
# what fill_package adds.
new_package() {
  local line=$1 exe=${2:-$package_exe}
  package=$(mktemp -d "/tmp/velmora-$package_prefix.XXXXXX")
  velmora_on_exit "rm -rf '$package'"
  cp "$program" "$package/$package_exe"
  [[ $exe == "$package_exe" ]] || cp "$program" "$package/$exe"
  ini_bytes "$line" >"$package/ip.ini"
  fill_package
}

# begin_case NAME [IP.INI-LINE [EXE [FROM]]]: case NAME with a fresh package folder (ip.ini holds
# profile_line unless LINE is given) and a fresh program: EXE of that folder (default package_exe),
# started from the folder FROM when given. False, the failure told, when its window never came up.
begin_case() {
  local exe=${3:-$package_exe}
  case_name=$1
  echo "# case: $case_name"
  new_package "${2:-$profile_line}" "$exe"
  start_program "$package" "$case_name" "$exe" "${4:-}"
  if ! wait_main_window; then
    not_ok "$case_name: $main_window_check" "$(driver_error)"
    diagnose
    stop_program
    return 1
  fi
}

end_case() {
  stop_program
  [[ $restart_after_case != yes ]] || velmora_wineserver_restart
  case_name=
}

# A failed step ends its case; what follows would only repeat the failure.
give_up() {
  not_ok "$@"
  diagnose
  end_case
  return 1
}

# What the screen shows and which message boxes are open, to explain a failure.
diagnose() {
  velmora_screenshot "$artifacts/$failure_picture$case_name.png" 2>/dev/null
  local box t
  for t in "${diagnose_boxes[@]}"; do
    if box=$(drv --timeout=200 msgbox-text "$t"); then
      echo "#   a message box \"$t\" is open: $(shown "$box")"
    fi
  done
  [[ -z $diagnose_list ]] || drv --timeout=200 list "$diagnose_list" >>"$VELMORA_E2E_LOG/driver.log" || true
  explain_failure
}

# cases_up: Wine comes up for the cases, at 96 DPI, and whatever a case leaves running or set is
# undone at the end of the run.
cases_up() {
  wine_up
  velmora_on_exit stop_program
  velmora_on_exit "velmora_set_dpi 96"
  velmora_set_dpi 96
}

# answer_ends BOX BUTTON WHAT CODE MS: the program still runs while its message box BOX (WHAT
# names it) is open, and once BUTTON (ok, yes, no) is pressed it ends by itself with exit code
# CODE within MS milliseconds. False, the case given up, when the watch or the button fails.
answer_ends() {
  local box=$1 button=$2 what=$3 code=$4 ms=$5 label
  case $button in ok) label=OK ;; *) label=${button^} ;; esac
  start_exit_watch "$ms" ||
    { give_up "$case_name: the end of the program is watched" "$(cat "$exit_watch_out.err")"; return 1; }
  check_equal "$case_name: the program runs while the $what is open" "$(cat "$exit_watch_out")" "watching 1"
  drv msgbox-press "$box" "$button" || { give_up "$case_name: $label is pressed" "$(driver_error)"; return 1; }
  finish_exit_watch "$case_name: after $label the program ends by itself" "$code" || diagnose
}

# --- printers on this machine's own addresses -----------------------------------------------------
# The tests contact no address but 127.0.0.x: a printer there is a listener of this script, and an
# address where nothing listens is a printer that does not answer.

# port_answers ADDRESS PORT: something accepts a connection on ADDRESS:PORT.
port_answers() { (exec 3<>"/dev/tcp/$1/$2") 2>/dev/null; }

# stop_started PID: ends a process this script started, by its id, and reaps it.
stop_started() {
  kill "$1" 2>/dev/null || return 0
  timeout 5 tail --pid="$1" -f /dev/null || kill -9 "$1" 2>/dev/null
  wait "$1" 2>/dev/null
}

# ports_free ADDRESS PORT...: one check that nothing answers on these ports of ADDRESS (another
# run's listener would answer for the printer). Runs on one machine share its ports, so a taken
# port is waited for, up to VELMORA_PORT_WAIT seconds (default 120); false, each port still taken
# named, when one stays taken.
ports_free() {
  local address=$1 what secs=${VELMORA_PORT_WAIT:-120} port taken=()
  what="port $2 of $address is free for the test"
  (($# == 2)) || what="ports $(printf '%s, ' "${@:2}" | sed 's/, $//') of $address are free for the test"
  if ! none_answers "$@"; then
    echo "# something answers on a port of $address; waiting up to $secs s for it to end"
    velmora_poll "$secs" none_answers "$@"
  fi
  for port in "${@:2}"; do
    port_answers "$address" "$port" &&
      taken+=("something listens on $address:$port (ss -ltnp sport = :$port names it)")
  done
  if ((${#taken[@]} == 0)); then
    ok "$what"
  else
    not_ok "$what" "${taken[@]}" "end it and run again"
    return 1
  fi
}

# none_answers ADDRESS PORT...: no port of these answers on ADDRESS.
none_answers() {
  local port
  for port in "${@:2}"; do
    ! port_answers "$1" "$port" || return 1
  done
}

# listener_up ADDRESS PORT: a printer's port on ADDRESS:PORT for the rest of the run, ended at exit:
# it accepts each connection and closes it, which is all the install's probe asks. The port is
# checked free first, so another run's listener never passes for this one. False, the reason told,
# when the port is taken or the listener does not come up.
listener_up() {
  local address=$1 port=$2 log=$VELMORA_E2E_LOG/listener-$1-$2.log pid
  ports_free "$address" "$port" || return 1
  python3 -u -c 'import socket, sys
s = socket.create_server((sys.argv[1], int(sys.argv[2])))
print("listening")
while True: s.accept()[0].close()' "$address" "$port" >"$log" 2>&1 &
  pid=$!
  velmora_on_exit "stop_started $pid"
  # Its own word and its own process: an answer alone could come from another run's listener.
  if velmora_poll 10 grep -qx listening "$log" && kill -0 "$pid" 2>/dev/null && port_answers "$address" "$port"; then
    ok "a listener of this run accepts connections on $address:$port"
  else
    not_ok "a listener of this run accepts connections on $address:$port" "$(tr '\n' '|' <"$log")"
    return 1
  fi
}
