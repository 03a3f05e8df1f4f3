# Sourced by the Wine test scripts after wine-env.sh: the check counters and their lines, the
# driver, and starting and stopping the program. The caller sets title, desktop, driver and
# artifacts first.
# shellcheck shell=bash disable=SC2154  # title, desktop, driver, artifacts: the caller's

passed=0
failed=0
started=$SECONDS
program_pid=
program_image=Velmora.exe

ok() {
  echo "ok - $1"
  passed=$((passed + 1))
}

not_ok() {
  echo "not ok - $1"
  shift
  local line
  for line in "$@"; do printf '#   %s\n' "$line"; done
  failed=$((failed + 1))
}

# Message box texts hold CR LF; failures show them escaped.
shown() { printf '%q' "$1"; }

check_equal() {
  local what=$1 got=$2 want=$3
  if [[ $got == "$want" ]]; then
    ok "$what"
  else
    not_ok "$what" "got:      $(shown "$got")" "expected: $(shown "$want")"
  fi
}

summary() {
  echo "# $((SECONDS - started)) s, artifacts in $artifacts"
  echo "$passed passed, $failed failed"
}

# The driver joins the program's virtual desktop; its stderr is kept for the failure messages.
driver_err=$VELMORA_E2E_LOG/driver-last.err
drv() { velmora_driver "$driver" "$desktop" "$driver_err" "$@"; }
driver_error() { grep -v -e 'wine32 is missing' -e multiarch -e 'dpkg --add' -e 'apt-get install' "$driver_err" | tr '\n' ' '; }

# start_program FOLDER TAG [EXE [FROM]]: EXE (default Velmora.exe) of FOLDER in the virtual
# desktop, its output in the log folder under TAG. The current folder is FOLDER, or FROM when given;
# then the program is named by its full path, as a shortcut with another start folder would.
start_program() {
  local folder=$1 tag=$2 exe=${3:-Velmora.exe} from=${4:-} command
  program_image=$exe
  command=$exe
  if [[ -n $from ]]; then
    command=$(realpath -e "$folder/$exe") || return 1
    command=Z:${command//\//\\}
  fi
  velmora_desktop_up "$desktop" "$driver" || true
  (cd "${from:-$folder}" && exec wine explorer "/desktop=$desktop,1024x768" "$command") \
    >"$VELMORA_E2E_LOG/program-$tag.log" 2>&1 &
  program_pid=$!
}

# Ends the program if it still runs and waits for the launcher, which has ended already where the
# desktop was open (velmora_desktop_up). A launcher that opened the desktop stays when the program
# never made a window, and then only a server restart clears it.
stop_program() {
  [[ -n $program_pid ]] || return 0
  drv --timeout=5000 kill-process "$program_image" || true
  timeout 10 tail --pid="$program_pid" -f /dev/null || velmora_wineserver_restart
  wait "$program_pid" 2>/dev/null
  program_pid=
}

# Polls for the visible main window; gives up early once the program's process has come and gone,
# or when it shows a message box instead (the stop message of an error during Form_Load).
wait_main_window() {
  local deadline=$((SECONDS + 30)) seen=no count
  while ((SECONDS < deadline)); do
    drv wait-window "$title" 1000 && return 0
    if drv --timeout=0 msgbox-text Velmora >/dev/null; then
      echo "a message box \"Velmora\" is open instead" >"$driver_err"
      return 1
    fi
    count=$(drv process-count "$program_image") || count=
    if [[ $count == 0 && ($seen == yes || $SECONDS -ge $((deadline - 20))) ]]; then
      echo "$program_image is not running (it ended before its window appeared)" >"$driver_err"
      return 1
    fi
    [[ $count =~ ^[1-9] ]] && seen=yes
  done
  return 1
}
