#!/usr/bin/env bash
# Start-up smoke test: Velmora.exe in a fresh package folder under Wine, at 96 and at 144 DPI.
#
#   tests/e2e/smoke.sh <Velmora.exe> <velmora-e2e.exe> <artifact-dir>
#
# One "ok - ..." or "not ok - ..." line per check, then "N passed, M failed". The whole run is
# bounded by VELMORA_SMOKE_TIMEOUT seconds (default 300).
set -u -o pipefail

# shellcheck source=tests/e2e/cases.sh
source "$(dirname "${BASH_SOURCE[0]}")/cases.sh"
run_bounded VELMORA_SMOKE_TIMEOUT 300 "$@"
clear_artifacts 'form1-*dpi.png' 'failure-*.png' ip.ini

# shellcheck source=tests/e2e/wine-env.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

readonly title='Velmora  安裝驅動程式  '
readonly desktop=velmora
readonly placeholder_line='ip,192.168.0.250,請填入印表機名稱,請填入印表機模組名稱,請填入INF檔名,100'
readonly unc_key='HKCU\Software\Microsoft\Command Processor'
# Form1's client area in twips; the window must be laid out at the DPI it started with.
readonly client_twips_w=4905 client_twips_h=2265

# shellcheck source=tests/e2e/checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
report_at_exit

# diagnose_start TAG: saves what the screen shows and what message box is open, to explain a
# failed start.
diagnose_start() {
  local tag=$1
  velmora_screenshot "$artifacts/failure-$tag.png" 2>/dev/null
  local box
  if box=$(drv --timeout=300 msgbox-text Velmora); then
    printf '#   the message box "Velmora" says: %s\n' "${box//$'\n'/ ⏎ }"
  fi
  drv --timeout=300 list "$title" >>"$VELMORA_E2E_LOG/driver.log" || true
}

# "W H" of the client area expected at DPI, rounded as the twips conversion must round.
client_pixels() {
  local dpi=$1
  echo "$(((client_twips_w * dpi + 720) / 1440)) $(((client_twips_h * dpi + 720) / 1440))"
}

within_one() {
  local a=$1 b=$2
  ((a - b <= 1 && b - a <= 1))
}

unc_check_set() {
  velmora_reg_query "$unc_key" /v DisableUNCCheck 2>/dev/null |
    grep -Eq '^[[:space:]]*DisableUNCCheck[[:space:]]+REG_DWORD[[:space:]]+0x1[[:space:]]*$'
}

# --- environment ----------------------------------------------------------------------------------

wine_up

# A prefix without Wine's fonts draws "0 1 r" for the title bar's buttons: its set-up must stop
# with the reason, and leave no mark that would let the next run take the prefix as ready.
no_fonts=$(mktemp -d /tmp/velmora-no-fonts.XXXXXX)
velmora_on_exit "rm -rf '$no_fonts'"
if said=$(WINEPREFIX=$no_fonts/prefix VELMORA_WINE_FONTS=$no_fonts velmora_prefix_ensure 2>&1); then
  not_ok "the prefix set-up stops without Wine's fonts" "it succeeded"
elif [[ $said == *fonts-wine* && ! -e $no_fonts/prefix/.velmora-prefix-ready ]]; then
  ok "the prefix set-up stops without Wine's fonts, and says so"
else
  not_ok "the prefix set-up stops without Wine's fonts, and says so" "$said"
fi

if rule=$(timeout 60 wine "$driver" self-test 2>"$driver_err"); then
  ok "driver's own-address rule ($rule)"
else
  not_ok "driver's own-address rule" "$(driver_error)"
fi

# Wine reads and writes another process's memory by stopping its thread with ptrace, with the
# wineserver waiting on each stop: one stop that never comes holds every Wine process. The driver
# shares memory with the program instead, and must not come to call those again.
if ! imports=$(x86_64-w64-mingw32-objdump -p "$driver" 2>&1); then
  not_ok "the driver reads and writes no other process's memory" "objdump: $imports"
elif ptraced=$(grep -o -w -E 'ReadProcessMemory|WriteProcessMemory|Module32FirstW?|Module32NextW?' <<<"$imports"); then
  not_ok "the driver reads and writes no other process's memory" "it imports: ${ptraced//$'\n'/ }"
else
  ok "the driver reads and writes no other process's memory"
fi

# A driver call left unanswered fails within its limit and says so, instead of holding the run; the
# next call gets a new driver server.
velmora_server_alive || velmora_server_start "$driver"
call_start=$SECONDS
rc=0
velmora_server_call "$driver_err" 1 wait-window 'no such window' 5000 >/dev/null || rc=$?
call_seconds=$((SECONDS - call_start))
if ((rc == 124 && call_seconds <= 3)) && grep -q 'no answer within 1 s' "$driver_err"; then
  velmora_server_stop
  velmora_server_start "$driver"
  if count=$(velmora_server_call "$driver_err" 30 process-count no-such-program.exe) && [[ $count == 0 ]]; then
    ok "an unanswered driver call fails within its limit, and the next call is answered"
  else
    not_ok "an unanswered driver call fails within its limit, and the next call is answered" \
      "the next call: $count $(driver_error)"
  fi
else
  not_ok "an unanswered driver call fails within its limit, and the next call is answered" \
    "status $rc after $call_seconds s: $(driver_error)"
fi

if own_address=$(timeout 60 wine "$driver" wmi-own-address 2>"$driver_err"); then
  timeout 60 wine "$driver" wmi-adapters >"$VELMORA_E2E_LOG/wmi-adapters.txt" 2>&1
  echo "# WMI oracle: own address \"$own_address\" from adapters $(tr '\n' ' ' <"$VELMORA_E2E_LOG/wmi-adapters.txt")"
else
  own_address='(the WMI query failed)'
  not_ok "WMI oracle answers" "$(driver_error)"
fi

# The prefix is reused, so the value a previous run left behind must go first.
velmora_wine reg delete "$unc_key" /v DisableUNCCheck /f >/dev/null
if unc_check_set; then
  not_ok "DisableUNCCheck cleared before the start" "reg delete did not remove it"
fi

package=$(mktemp -d /tmp/velmora-package.XXXXXX)
velmora_on_exit "rm -rf '$package'"
velmora_on_exit stop_program
cp "$program" "$package/Velmora.exe"

# --- one start per DPI ----------------------------------------------------------------------------

run_at_dpi() {
  local dpi=$1 first=$2 case_name=${1}dpi
  velmora_set_dpi "$dpi"
  local seen
  seen=$(timeout 60 wine "$driver" dpi 2>/dev/null)
  if [[ $seen != "logpixels $dpi $dpi system $dpi monitor $dpi "* ]]; then
    not_ok "a program started now sees $dpi DPI" "driver reports: $seen"
  fi

  start_program "$package" "${dpi}dpi"
  if ! wait_main_window; then
    not_ok "main window appears at $dpi DPI" "$(driver_error)"
    diagnose_start "${dpi}dpi"
    stop_program
    return
  fi
  ok "main window \"$title\" appears at $dpi DPI"

  local text
  if text=$(drv get-text "$title" Form1.Text1); then
    check_equal "Form1.Text1 shows the computer's own address at $dpi DPI" "$text" "$own_address"
  else
    not_ok "Form1.Text1 shows the computer's own address at $dpi DPI" "$(driver_error)"
  fi
  if text=$(drv get-text "$title" Form1.Text2); then
    check_equal "Form1.Text2 shows the placeholder printer name at $dpi DPI" "$text" "請填入印表機名稱"
  else
    not_ok "Form1.Text2 shows the placeholder printer name at $dpi DPI" "$(driver_error)"
  fi

  if [[ $first == yes ]]; then
    # Form_Load has run once the window is up; the file is complete by then.
    check_ini "ip.ini is created with the default line in code page 950, CR LF" "$placeholder_line"
    cp "$package/ip.ini" "$artifacts/ip.ini" 2>/dev/null
    # The program starts reg without waiting for it.
    if velmora_poll 20 unc_check_set; then
      ok "DisableUNCCheck is REG_DWORD 0x1"
    else
      not_ok "DisableUNCCheck is REG_DWORD 0x1" \
        "reg query shows: $(velmora_reg_query "$unc_key" /v DisableUNCCheck 2>/dev/null | grep DisableUNCCheck || echo 'no such value')"
    fi
  else
    check_ini "ip.ini is left unchanged by a second start" "$placeholder_line"
  fi

  local x y w h want_w want_h
  if read -r x y w h < <(drv client-rect "$title"); then
    read -r want_w want_h < <(client_pixels "$dpi")
    if within_one "$w" "$want_w" && within_one "$h" "$want_h"; then
      ok "client area is ${client_twips_w}x${client_twips_h} twips at $dpi DPI (${w}x${h} px)"
    else
      not_ok "client area is ${client_twips_w}x${client_twips_h} twips at $dpi DPI" \
        "got ${w}x${h} px, expected ${want_w}x${want_h} px"
    fi
  else
    not_ok "client area is readable at $dpi DPI" "$(driver_error)"
  fi

  local shot=$artifacts/form1-${dpi}dpi.png origin ox oy
  origin=$(velmora_desktop_origin "$desktop")
  read -r ox oy <<<"${origin:-0 0}"
  if read -r x y w h < <(drv window-rect "$title") &&
    velmora_screenshot_settled "$shot" "${w}x${h}+$((ox + x))+$((oy + y))" 10; then
    ok "screenshot saved: $(basename "$shot") (${w}x${h})"
  else
    not_ok "screenshot of the main window at $dpi DPI" "$(driver_error)"
    velmora_screenshot "$shot" 2>/dev/null
  fi

  stop_program
}

run_at_dpi 96 yes
run_at_dpi 144 no
velmora_set_dpi 96

((failed == 0))
