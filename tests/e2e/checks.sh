# Sourced by the Wine test scripts after wine-env.sh: the check counters and their lines, the
# driver, starting and stopping the program, and the checks and waits the scripts share. The caller
# sets title, desktop, driver and artifacts first (run_bounded in cases.sh sets the last two).
# shellcheck shell=bash disable=SC2154  # title, desktop, driver, artifacts, package...: the caller's

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

# What a failure leaves to explain it where only the output is seen: a crash the program's Wine
# reported, the Windows processes still there with their state (T: stopped, as by a debugger), and
# the last driver calls.
explain_failure() {
  local line
  grep -h -a -e 'Unhandled' -e 'starting debugger' "$VELMORA_E2E_LOG"/program-*.log 2>/dev/null |
    head -5 | while IFS= read -r line; do printf '#   program: %s\n' "$line"; done
  local pids
  pids=$(pgrep -d, -f -i '\.exe') &&
    ps -o pid=,stat=,etimes=,args= -p "$pids" 2>/dev/null | grep -v -i -e 'system32' -e 'start\.exe' |
    cut -c1-150 | head -12 |
    while IFS= read -r line; do printf '#   process: %s\n' "$line"; done
  [[ -f $VELMORA_E2E_LOG/driver.log ]] &&
    tail -n 6 "$VELMORA_E2E_LOG/driver.log" | cut -c1-200 | while IFS= read -r line; do printf '#   driver: %s\n' "$line"; done
  return 0
}

# report_at_exit: the summary when the script ends, and a failed check when the total timeout
# (run_bounded in cases.sh) or an interrupt ends it early.
report_at_exit() {
  velmora_on_exit summary
  trap 'not_ok "finished within $run_seconds s (killed by the total timeout)"; explain_failure; exit 124' TERM
  trap 'not_ok "not interrupted"; exit 130' INT
}

# wine_up: the Wine environment of wine-env.sh, or the end of the script with a failed check.
wine_up() {
  if ! velmora_env_up; then
    not_ok "Wine environment comes up" "see $VELMORA_E2E_LOG"
    exit 1
  fi
  echo "# WINEPREFIX=$WINEPREFIX DISPLAY=$DISPLAY"
}

# The driver joins the program's virtual desktop; its stderr is kept for the failure messages.
driver_err=$VELMORA_E2E_LOG/driver-last.err
drv() { velmora_driver "$driver" "$desktop" "$driver_err" "$@"; }
driver_error() { grep -v -e 'wine32 is missing' -e multiarch -e 'dpkg --add' -e 'apt-get install' "$driver_err" | tr '\n' ' '; }

# start_program FOLDER TAG [EXE [FROM]]: EXE (default Velmora.exe) of FOLDER in the virtual
# desktop, its output in the log folder under TAG. The current folder is FOLDER, or FROM when given;
# then the program is named by its full path, as a shortcut with another start folder would.
# program_winedebug, when set, is the WINEDEBUG of the program alone (a trace in its log).
program_winedebug=
start_program() {
  local folder=$1 tag=$2 exe=${3:-Velmora.exe} from=${4:-} command
  program_image=$exe
  command=$exe
  if [[ -n $from ]]; then
    command=$(realpath -e "$folder/$exe") || return 1
    command=Z:${command//\//\\}
  fi
  velmora_desktop_up "$desktop" "$driver" || true
  (cd "${from:-$folder}" && WINEDEBUG=${program_winedebug:-$WINEDEBUG} \
    exec wine explorer "/desktop=$desktop,1024x768" "$command") \
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

# find_install_log: install_log is Velmora.log in the folder the program's GetTempPathW points to:
# Wine's %TMP%, which it takes first. Where that is not found, install_log stays as it was.
find_install_log() {
  local temp_dir
  if temp_dir=$(velmora_wine cmd /c 'echo %TMP%' | tr -d '\r\n') && [[ $temp_dir == [A-Za-z]:\\* ]] &&
    temp_dir=$(velmora_wine winepath -u "$temp_dir") && [[ -d $temp_dir ]]; then
    # shellcheck disable=SC2034  # the caller's
    install_log=${temp_dir%/}/Velmora.log
  else
    not_ok "Wine's temporary folder is found" "%TMP% is \"$temp_dir\""
  fi
}

# set_dpi_seen DPI CASE: the DPI programs started from now on see; one is started to confirm it.
set_dpi_seen() {
  local seen
  velmora_set_dpi "$1"
  seen=$(timeout 60 wine "$driver" dpi 2>/dev/null)
  if [[ $seen != "logpixels $1 $1 "* ]]; then
    not_ok "$2: a program started now sees $1 DPI" "driver reports: $seen"
  fi
}

# --- package files --------------------------------------------------------------------------------

# The bytes of an ip.ini holding LINE: code page 950, CR LF.
ini_bytes() { printf '%s\r\n' "$1" | iconv -f UTF-8 -t CP950; }

# The smallest INF a profile can name.
small_inf() {
  # shellcheck disable=SC2016  # the INF's own $Windows NT$
  printf '[Version]\r\nSignature="$Windows NT$"\r\nClass=Printer\r\n'
}

# check_ini WHAT LINE: ip.ini of the package holds LINE and nothing else, byte for byte.
check_ini() {
  local what=$1 want=$VELMORA_E2E_LOG/$case_name.ip.ini.expected
  ini_bytes "$2" >"$want"
  if [[ ! -f $package/ip.ini ]]; then
    not_ok "$what" "no ip.ini in $package"
  elif cmp -s "$package/ip.ini" "$want"; then
    ok "$what"
  else
    not_ok "$what" \
      "got:      $(od -An -tx1 "$package/ip.ini" | tr -s ' \n' ' ')" \
      "expected: $(od -An -tx1 "$want" | tr -s ' \n' ' ')"
  fi
}

# --- waiting for the program ----------------------------------------------------------------------

# wait_text WIN CONTROL TEXT [SECS]: polls a control until it shows TEXT, for 5 s unless SECS is
# given: posted typing and clicks take effect after a sent WM_GETTEXT.
wait_text() {
  local win=$1 control=$2 want=$3 secs=${4:-5} got=
  local deadline=$((SECONDS + secs))
  while :; do
    got=$(drv --timeout=2000 get-text "$win" "$control") && [[ $got == "$want" ]] && return 0
    if ((SECONDS >= deadline)); then
      echo "$control shows $(shown "$got"), expected $(shown "$want")" >"$driver_err"
      return 1
    fi
  done
}

# wait_state COMMAND WIN CONTROL WANT [SECS]: polls a true/false state until it reads WANT: the
# program applies some changes a moment later.
wait_state() {
  local command=$1 win=$2 control=$3 want=$4 secs=${5:-5} got=
  local deadline=$((SECONDS + secs))
  while :; do
    got=$(drv --timeout=2000 "$command" "$win" "$control") && [[ $got == "$want" ]] && return 0
    if ((SECONDS >= deadline)); then
      echo "$control: $command reads \"$got\"" >"$driver_err"
      return 1
    fi
  done
}

# check_state WHAT COMMAND WIN CONTROL WANT: the driver's COMMAND reads WANT from the control.
check_state() {
  local what=$1 command=$2 win=$3 control=$4 want=$5 got
  if got=$(drv "$command" "$win" "$control"); then
    check_equal "$what" "$got" "$want"
  else
    not_ok "$what" "$(driver_error)"
  fi
}

# expect_box WHAT TITLE TEXT [TIMEOUT-MS]: the message box is open and says exactly TEXT.
expect_box() {
  local what=$1 box_title=$2 want=$3 ms=${4:-10000} got
  if got=$(drv --timeout="$ms" msgbox-text "$box_title"); then
    check_equal "$what" "$got" "$want"
    [[ $got == "$want" ]]
  else
    not_ok "$what" "$(driver_error)"
    return 1
  fi
}

# The end of the program is watched from before the answer that ends it: it may be gone before a
# driver started afterwards could look, and a crash must not pass for an end.
# start_exit_watch TIMEOUT-MS: watches the program last started; exit_watch_out holds what the
# watch says ("watching N", then "exited CODE"), and $exit_watch_out.err its errors.
start_exit_watch() {
  exit_watch_out=$VELMORA_E2E_LOG/$case_name.wait-exit
  timeout 60 wine "$driver" wait-exit "$program_image" "$1" >"$exit_watch_out" 2>"$exit_watch_out.err" &
  exit_watch_pid=$!
  velmora_poll 20 grep -qs '^watching' "$exit_watch_out"
}

# finish_exit_watch WHAT CODE: the watched program ended by itself with exit code CODE; false when
# the watch failed.
finish_exit_watch() {
  local what=$1 want=$2 rc=0
  wait "$exit_watch_pid" || rc=$?
  if ((rc != 0)); then
    not_ok "$what" "$(grep -v -e wine32 -e multiarch -e 'dpkg --add' -e 'apt-get install' "$exit_watch_out.err" | tr '\n' ' ')"
    return 1
  fi
  check_equal "$what with exit code $want" "$(sed -n 's/^exited //p' "$exit_watch_out")" "$want"
}

# --- places and pictures --------------------------------------------------------------------------

# to_screen "X Y W H": the rectangle on the X screen; the driver reports desktop coordinates.
to_screen() {
  local origin ox oy x y w h
  read -r x y w h <<<"$1"
  origin=$(velmora_desktop_origin "$desktop")
  read -r ox oy <<<"${origin:-0 0}"
  echo "$((ox + x)) $((oy + y)) $w $h"
}

# rect_of TITLE [FORM[.CONTROL]]: "X Y W H" of that window on the X screen.
rect_of() {
  local r
  r=$(drv window-rect "$@") && [[ $r =~ ^-?[0-9]+\ -?[0-9]+\ [0-9]+\ [0-9]+$ ]] && to_screen "$r"
}

# union "X Y W H" "X Y W H": the smallest rectangle holding both.
union() {
  local ax ay aw ah bx by bw bh
  read -r ax ay aw ah <<<"$1"
  read -r bx by bw bh <<<"$2"
  local l=$((ax < bx ? ax : bx)) t=$((ay < by ? ay : by))
  local r=$((ax + aw > bx + bw ? ax + aw : bx + bw)) b=$((ay + ah > by + bh ? ay + ah : by + bh))
  echo "$l $t $((r - l)) $((b - t))"
}

# Wine 8 in a virtual desktop stacks a message box's X window under its owner's, so the screen
# shows black where they overlap although Windows' own order is right. For a picture the box is
# moved clear of the window, below it, and a union of both is taken.
# box_clear_of TITLE "X Y W H": the box TITLE moved just below that rectangle of the X screen.
box_clear_of() {
  local box_title=$1 under=$2 ux uy uh ox oy
  read -r ux uy _ uh <<<"$under"
  read -r ox oy < <(velmora_desktop_origin "$desktop" || echo 0 0)
  drv move "$box_title" "$((ux - ${ox:-0}))" "$((uy - ${oy:-0} + uh + 8))"
}

# shot FILE "X Y W H" [LEAD]: a settled screenshot of that part of the screen, in the artifacts
# folder; LEAD begins the check's name. Unsettled, the whole screen is kept under FILE instead.
shot() {
  local file=$1 lead=${3:-} x y w h
  read -r x y w h <<<"$2"
  if velmora_screenshot_settled "$artifacts/$file" "${w}x${h}+$x+$y" 10; then
    ok "${lead}screenshot saved: $file (${w}x${h})"
  else
    not_ok "${lead}screenshot $file" "the picture did not settle within 10 s"
    velmora_screenshot "$artifacts/$file" 2>/dev/null
  fi
}

# shot_window FILE TITLE [FORM]: shot of that window.
shot_window() {
  local file=$1 rect
  shift
  if rect=$(rect_of "$@"); then
    shot "$file" "$rect"
  else
    not_ok "screenshot $file" "$(driver_error)"
  fi
}
