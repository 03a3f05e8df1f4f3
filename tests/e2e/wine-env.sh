# shellcheck shell=bash
# Wine environment for the end-to-end tests. Source it, then call velmora_env_up.
#
#   VELMORA_WINEPREFIX   prefix to create or reuse (default: <repo>/build/wine-prefix)
#   VELMORA_DISPLAY      an X display to use; when unset a private Xvfb is started
#   VELMORA_E2E_LOG      folder for Wine's and Xvfb's own output (default: a temporary folder)
#   VELMORA_LOCK_WAIT    seconds to wait for another run that holds the prefix (default 600)
#   VELMORA_WINE_FONTS   the folder of Wine's own fonts (default /usr/share/wine/fonts)
#
# Every wait here polls a condition under a deadline; nothing sleeps a fixed time and hopes.

if [[ -n ${VELMORA_WINE_ENV_LOADED:-} ]]; then return 0; fi
VELMORA_WINE_ENV_LOADED=1

velmora_repo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

WINEPREFIX=$(realpath -m "${VELMORA_WINEPREFIX:-$velmora_repo_root/build/wine-prefix}")
export WINEPREFIX WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset LANGUAGE

VELMORA_E2E_LOG=${VELMORA_E2E_LOG:-$(mktemp -d /tmp/velmora-e2e-log.XXXXXX)}
mkdir -p "$VELMORA_E2E_LOG"

velmora_xvfb_pid=
velmora_cleanups=()

velmora_log() { printf '# %s\n' "$*" >&2; }

# Polls a shell command until it succeeds or the deadline (seconds) passes.
velmora_poll() {
  local secs=$1
  shift
  local deadline=$((SECONDS + secs))
  until "$@"; do
    if ((SECONDS >= deadline)); then return 1; fi
    sleep 0.1
  done
}

# Registers a command to run at exit; they run last-registered first.
velmora_on_exit() { velmora_cleanups+=("$*"); }

velmora_env_cleanup() {
  local i
  for ((i = ${#velmora_cleanups[@]} - 1; i >= 0; i--)); do
    eval "${velmora_cleanups[i]}" || true
  done
  velmora_cleanups=()
  velmora_server_stop
  velmora_wineserver_stop
  velmora_xvfb_stop
}
trap velmora_env_cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

velmora_has_locale() { locale -a 2>/dev/null | grep -qix 'zh_TW\.utf-\?8'; }

# Generates zh_TW.UTF-8 once. Without root it is compiled into a private folder and found through LOCPATH.
velmora_locale_ensure() {
  if velmora_has_locale; then
    :
  elif [[ $(id -u) -eq 0 ]]; then
    if [[ -f /etc/locale.gen ]] && command -v locale-gen >/dev/null; then
      sed -i 's/^# *\(zh_TW.UTF-8 UTF-8\)/\1/' /etc/locale.gen
      grep -q '^zh_TW.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_TW.UTF-8 UTF-8' >>/etc/locale.gen
      locale-gen >"$VELMORA_E2E_LOG/locale-gen.log" 2>&1
    fi
    velmora_has_locale || localedef -i zh_TW -f UTF-8 zh_TW.UTF-8 >>"$VELMORA_E2E_LOG/locale-gen.log" 2>&1
  else
    local dir=${XDG_CACHE_HOME:-$HOME/.cache}/velmora/locale
    if [[ ! -d $dir/zh_TW.UTF-8 ]]; then
      mkdir -p "$dir"
      localedef -i zh_TW -f UTF-8 "$dir/zh_TW.UTF-8" >"$VELMORA_E2E_LOG/locale-gen.log" 2>&1
    fi
    export LOCPATH=$dir
  fi
  # Chinese file names and arguments only survive with a real zh_TW UTF-8 locale (code page 950 inside).
  export LC_ALL=zh_TW.UTF-8
  if [[ $(locale charmap 2>/dev/null) != UTF-8 ]]; then
    echo "wine-env: the locale zh_TW.UTF-8 could not be made (see $VELMORA_E2E_LOG/locale-gen.log)" >&2
    return 1
  fi
}

velmora_display_ready() { xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; }

# Starts a private Xvfb unless VELMORA_DISPLAY names one. -displayfd lets Xvfb pick a free display
# itself, which is race-free when several runs start at once.
velmora_xvfb_start() {
  if [[ -n ${VELMORA_DISPLAY:-} ]]; then
    export DISPLAY=$VELMORA_DISPLAY
    velmora_poll 10 velmora_display_ready || {
      echo "wine-env: display $DISPLAY does not answer" >&2
      return 1
    }
    return 0
  fi
  [[ -n $velmora_xvfb_pid ]] && return 0
  local numfile=$VELMORA_E2E_LOG/xvfb-display
  : >"$numfile"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$numfile" \
    >"$VELMORA_E2E_LOG/xvfb.log" 2>&1 &
  velmora_xvfb_pid=$!
  if ! velmora_poll 20 grep -qx '[0-9]\+' "$numfile"; then
    echo "wine-env: Xvfb did not start (see $VELMORA_E2E_LOG/xvfb.log)" >&2
    velmora_xvfb_stop
    return 1
  fi
  DISPLAY=:$(<"$numfile")
  export DISPLAY
  velmora_poll 10 velmora_display_ready
}

velmora_xvfb_stop() {
  [[ -n $velmora_xvfb_pid ]] || return 0
  kill "$velmora_xvfb_pid" 2>/dev/null
  timeout 10 tail --pid="$velmora_xvfb_pid" -f /dev/null 2>/dev/null || kill -9 "$velmora_xvfb_pid" 2>/dev/null
  wait "$velmora_xvfb_pid" 2>/dev/null
  velmora_xvfb_pid=
}

# Quiet wrapper: Wine's stderr carries the harmless "wine32 is missing" banner.
velmora_wine() { timeout 120 wine "$@" 2>>"$VELMORA_E2E_LOG/wine.log"; }

# A persistent server keeps the prefix loaded between programs (about 150 ms to a first window).
velmora_wineserver_start() {
  wineserver -p >>"$VELMORA_E2E_LOG/wine.log" 2>&1
}

# Ends every process of this prefix, then the server; waits until it is really gone so the
# registry is flushed to disk.
velmora_wineserver_stop() {
  [[ -d $WINEPREFIX ]] || return 0
  wineserver -k >/dev/null 2>&1
  timeout 30 wineserver -w >/dev/null 2>&1 || true
}

velmora_wineserver_restart() {
  velmora_wineserver_stop
  velmora_wineserver_start
}

velmora_reg_add() { velmora_wine reg add "$@" /f >/dev/null; }

# reg prints in code page 950.
velmora_reg_query() { velmora_wine reg query "$@" | iconv -f CP950 -t UTF-8; }

# Creates the prefix once, with the fonts the Chinese windows need; a half-made prefix is finished
# on the next call because the marker is written last.
velmora_prefix_ensure() {
  local marker=$WINEPREFIX/.velmora-prefix-ready fonts=${VELMORA_WINE_FONTS:-/usr/share/wine/fonts}
  [[ -f $marker ]] && return 0
  # Checked first: without them the prefix would be made for nothing.
  compgen -G "$fonts/*.ttf" >/dev/null || {
    echo "wine-env: Wine's fonts are missing in $fonts (install fonts-wine)" >&2
    return 1
  }
  mkdir -p "$(dirname "$WINEPREFIX")"
  velmora_log "creating Wine prefix $WINEPREFIX"
  timeout 300 wineboot -i >>"$VELMORA_E2E_LOG/wine.log" 2>&1 || {
    echo "wine-env: wineboot failed (see $VELMORA_E2E_LOG/wine.log)" >&2
    return 1
  }
  timeout 120 wineserver -w
  # Without these, Tahoma and Marlett are missing and Latin text falls back to a face without Latin glyphs.
  # The marker below is written only when the fonts are really there.
  cp "$fonts"/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" || {
    echo "wine-env: Wine's fonts could not be copied from $fonts" >&2
    return 1
  }
  local face
  for face in PMingLiU 新細明體 MingLiU 細明體; do
    velmora_reg_add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d "AR PL UMing TW" || return 1
  done
  velmora_set_dpi 96 || return 1
  timeout 60 wineserver -k >/dev/null 2>&1
  timeout 60 wineserver -w
  touch "$marker"
}

# Sets the screen DPI that programs started from now on see. Wine 8 takes LogPixels from
# HKCU\Control Panel\Desktop when a process starts: the next program gets it even inside a virtual
# desktop that was opened at another DPI, so neither the desktop nor the wineserver is restarted.
# Wine does not scale DPI-unaware programs; GetDeviceCaps(LOGPIXELSX) and GetDpiForSystem simply
# return the new value.
velmora_set_dpi() {
  velmora_reg_add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1"
}

# velmora_screenshot OUT.png [WxH+X+Y]: the whole screen, or the given rectangle of it.
velmora_screenshot() {
  local out=$1 crop=${2:-}
  local args=()
  [[ -n $crop ]] && args=(-crop "$crop" +repage)
  xwd -root -silent -display "$DISPLAY" | convert xwd:- "${args[@]}" "png:$out"
}

# Prints "X Y", where the virtual desktop NAME lies on the X screen (window rectangles are relative to it).
velmora_desktop_origin() {
  xwininfo -display "$DISPLAY" -name "$1 - Wine desktop" 2>/dev/null |
    awk '/Absolute upper-left X:/ { x = $NF } /Absolute upper-left Y:/ { y = $NF } END { if (x != "") print x, y }'
}

# Like velmora_screenshot, but waits (up to SECS) until two captures in a row agree, so a window
# still painting is not caught half drawn.
velmora_screenshot_settled() {
  local out=$1 crop=$2 secs=${3:-10}
  local previous=$out.previous.png
  local deadline=$((SECONDS + secs))
  velmora_screenshot "$previous" "$crop" || return 1
  while :; do
    velmora_screenshot "$out" "$crop" || return 1
    if [[ $(compare -metric AE "$previous" "$out" null: 2>&1) == 0 ]]; then
      rm -f "$previous"
      return 0
    fi
    if ((SECONDS >= deadline)); then
      rm -f "$previous"
      return 1
    fi
    mv "$out" "$previous"
  done
}

# Takes the prefix for this shell so two runs never share a wineserver or a desktop.
velmora_prefix_lock() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  exec {velmora_lock_fd}>"$WINEPREFIX.lock"
  flock -w "${VELMORA_LOCK_WAIT:-600}" "$velmora_lock_fd" || {
    echo "wine-env: $WINEPREFIX is in use by another run" >&2
    return 1
  }
}

# Everything in order: locale, lock, display, prefix, persistent server.
velmora_env_up() {
  velmora_locale_ensure &&
    velmora_prefix_lock &&
    velmora_xvfb_start &&
    velmora_prefix_ensure &&
    velmora_wineserver_start
}

# The driver as a server: one Wine process answers a script's calls (`velmora-e2e.exe serve`,
# driver/serve.cpp), where a process per call would cost about 150 ms each. It is started by the
# first call made from the script's own shell and again after a wineserver restart ended it; a
# call that finds no server from a subshell, or no answer in time, runs as a process of its own.
# VELMORA_DRIVER_SERVER=0 makes every call a process of its own.
velmora_server_pid=
velmora_server_exe=
velmora_server_in=
velmora_server_out=
velmora_server_calls=0

velmora_server_alive() { [[ -n $velmora_server_pid ]] && kill -0 "$velmora_server_pid" 2>/dev/null; }

velmora_server_start() {
  local exe=$1 fifos
  fifos=$(mktemp -d "$VELMORA_E2E_LOG/driver-server.XXXXXX") || return 1
  mkfifo "$fifos/in" "$fifos/out" || return 1
  WINEDEBUG=${VELMORA_SERVER_WINEDEBUG:-$WINEDEBUG} wine "$exe" serve <"$fifos/in" >"$fifos/out" 2>>"$VELMORA_E2E_LOG/driver-server.log" &
  velmora_server_pid=$!
  # Ended on purpose when it hangs: no job notice of that in the output.
  disown "$velmora_server_pid"
  # The server opens "in" first, then "out": opened here in the same order, neither side waits.
  exec {velmora_server_in}>"$fifos/in" {velmora_server_out}<"$fifos/out"
  rm -rf "$fifos"
  velmora_server_exe=$exe
  printf '# driver server %s started\n' "$velmora_server_pid" >>"$VELMORA_E2E_LOG/driver.log"
}

# Ends the server (a wineserver restart ends it too); the next call from this shell starts another.
velmora_server_stop() {
  [[ -n $velmora_server_pid ]] || return 0
  exec {velmora_server_in}>&- {velmora_server_out}<&-
  kill "$velmora_server_pid" 2>/dev/null
  timeout 10 tail --pid="$velmora_server_pid" -f /dev/null 2>/dev/null || kill -9 "$velmora_server_pid" 2>/dev/null
  velmora_server_pid=
}

# velmora_server_call ERRFILE LIMIT ARGS...: one command line; prints its output, leaves its errors
# in ERRFILE and returns its status. 255 without a word when the server has gone (the call may be
# run as a process); 124, as timeout(1) says it, when it has not answered within LIMIT seconds: it
# is then ended, as it may still be busy with the call, and the call is not made again, as it would
# only hang again.
velmora_server_call() {
  local err=$1 limit=$2 id got out errs status heard
  shift 2
  velmora_server_alive || return 255
  id=$BASHPID.$((++velmora_server_calls)).$RANDOM
  # In a subshell of its own: a server that has gone would end the writer with SIGPIPE.
  (printf '%s\0' "$id" "$#" "$@" >&"$velmora_server_in") 2>/dev/null || return 255
  # Answers to calls given up earlier are skipped by their id.
  while :; do
    heard=0
    IFS= read -r -d '' -t "$limit" got <&"$velmora_server_out" || heard=$?
    if ((heard > 128)); then
      kill -9 "$velmora_server_pid" 2>/dev/null
      echo "velmora-e2e: no answer within $limit s to: ${*@Q}" >"$err"
      return 124
    fi
    if ((heard != 0)) || ! IFS= read -r -d '' -t 10 out <&"$velmora_server_out" ||
      ! IFS= read -r -d '' -t 10 errs <&"$velmora_server_out" ||
      ! IFS= read -r -t 10 status <&"$velmora_server_out" || ! [[ $status =~ ^[0-9]+$ ]]; then
      kill -9 "$velmora_server_pid" 2>/dev/null
      return 255
    fi
    [[ $got == "$id" ]] && break
  done
  printf '%s' "$out"
  printf '%s' "$errs" >"$err"
  return "$status"
}

# velmora_call_limit ARGS...: how long a driver call may take in seconds: a minute, or half a
# minute more than the longest wait it is given (--timeout=MS, or a number of milliseconds).
velmora_call_limit() {
  local arg ms=0
  for arg in "$@"; do
    arg=${arg#--timeout=}
    [[ $arg =~ ^[0-9]{1,7}$ ]] && ((arg > ms)) && ms=$arg
  done
  echo $((ms / 1000 + 30 > 60 ? ms / 1000 + 30 : 60))
}

# The virtual desktop, kept open from the first program to the end of the run by the driver
# server (keep-desktop in driver/serve.cpp). Wine closes a desktop about a second after its last
# program has gone and its explorer takes another to end; a program started into a desktop that is
# open starts at once, and its launcher ends as soon as the program runs.
velmora_desktop_kept=

velmora_desktop_shown() { [[ -n $(velmora_desktop_origin "$1") ]]; }

# velmora_desktop_up NAME DRIVER: has the server keep desktop NAME open, opening it first unless
# it is open. Without the server, or from a subshell, it does nothing and each launcher opens the
# desktop itself.
velmora_desktop_up() {
  local name=$1 exe=$2 err=$VELMORA_E2E_LOG/desktop.err
  [[ ${VELMORA_DRIVER_SERVER:-1} != 0 ]] && ((BASHPID == $$)) || return 0
  if ! velmora_server_alive || [[ $velmora_server_exe != "$exe" ]]; then
    velmora_server_stop
    velmora_server_start "$exe" || return 1
  fi
  [[ $velmora_desktop_kept == "$name@$velmora_server_pid" ]] && return 0
  # A desktop that is still open (a program in it, or its last second) is kept as it is: joining
  # it calls its closing off. Otherwise an explorer opens it; the desktop is whole once its window
  # shows, and only then may a launcher find it open.
  if ! velmora_server_call "$err" 30 keep-desktop "$name" 0 >/dev/null; then
    wine explorer "/desktop=$name,1024x768" >>"$VELMORA_E2E_LOG/desktop.log" 2>&1 &
    velmora_poll 20 velmora_desktop_shown "$name" &&
      velmora_server_call "$err" 40 keep-desktop "$name" 10000 >/dev/null || return 1
  fi
  velmora_desktop_kept=$name@$velmora_server_pid
  printf '# desktop %s kept open\n' "$name" >>"$VELMORA_E2E_LOG/driver.log"
}

# velmora_driver DRIVER DESKTOP ERRFILE ARGS...: runs the automation driver inside the virtual
# desktop, its errors in ERRFILE, each run logged. A call the driver server leaves unanswered fails
# with that said. A run as a process of its own that fails without a word from the driver never
# reached it (seen once under full CPU load: exit 1, nothing printed), so that run is made once
# more; a driver that reports a failure, or does not end in time, is believed at once.
velmora_driver() {
  # Own names: the calling scripts hold "driver" and "desktop" read-only.
  local exe=$1 on_desktop=$2 err=$3 rc attempt limit
  shift 3
  limit=$(velmora_call_limit "$@")
  if [[ ${VELMORA_DRIVER_SERVER:-1} != 0 ]]; then
    if ! velmora_server_alive || [[ $velmora_server_exe != "$exe" ]]; then
      # Only this shell keeps what it starts; a subshell's server would end with the subshell.
      if ((BASHPID == $$)); then
        velmora_server_stop
        velmora_server_start "$exe"
      fi
    fi
    rc=0
    velmora_server_call "$err" "$limit" --desktop="$on_desktop" "$@" || rc=$?
    if ((rc != 255)); then
      { printf '$ velmora-e2e %s (rc %d)\n' "${*@Q}" "$rc"; cat "$err"; } >>"$VELMORA_E2E_LOG/driver.log"
      return "$rc"
    fi
    echo "# (no answer from the driver server; running the call as a process)" >>"$VELMORA_E2E_LOG/driver.log"
  fi
  for attempt in 1 2; do
    rc=0
    timeout "$limit" wine "$exe" --desktop="$on_desktop" "$@" 2>"$err" || rc=$?
    ((rc != 124)) || echo "velmora-e2e: no answer within $limit s to: ${*@Q}" >>"$err"
    { printf '$ velmora-e2e %s (rc %d)\n' "${*@Q}" "$rc"; cat "$err"; } >>"$VELMORA_E2E_LOG/driver.log"
    if ((rc == 0)) || grep -qv -e 'wine32 is missing' -e multiarch -e 'dpkg --add' -e 'apt-get install' "$err"; then
      break
    fi
    echo "# (driver run $attempt ended with $rc and no message; running it again)" >>"$VELMORA_E2E_LOG/driver.log"
  done
  return "$rc"
}
