#!/usr/bin/env bash
# Interaction scenarios under Wine: the address checks of the main window, the package maker, the
# install engine end to end, and screenshots of every window. Each case starts the program fresh
# in a package folder of its own.
#
#   tests/e2e/interaction.sh <Velmora.exe> <velmora-e2e.exe> <artifact-dir>
#
# One "ok - ..." or "not ok - ..." line per check, then "N passed, M failed". The whole run is
# bounded by VELMORA_INTERACTION_TIMEOUT seconds (default 240).
set -u -o pipefail

# shellcheck source=tests/e2e/cases.sh
source "$(dirname "${BASH_SOURCE[0]}")/cases.sh"
run_bounded VELMORA_INTERACTION_TIMEOUT 240 "$@"
clear_artifacts '*.png'

# shellcheck source=tests/e2e/wine-env.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

readonly title='Velmora  安裝驅動程式  '
readonly maker_title='一鍵安裝製作'
readonly about_title='關於'
readonly notice_title='安裝驅動程式'
readonly desktop=velmora
readonly profile_line='ip,192.168.0.250,Office,Model X,x.inf,100'
readonly sample_model='Velmora Sample Laser PCL'
readonly legacy_key='HKCU\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Windows'

# shellcheck source=tests/e2e/checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
report_at_exit

# Each case (cases.sh) has a package folder /tmp/velmora-interaction.* holding the program, ip.ini
# and a small INF; a failure leaves failure-CASE.png and the main window's controls in the log.
package_prefix=interaction
fill_package() { small_inf >"$package/x.inf"; }
failure_picture=failure-
diagnose_boxes=(Velmora 提示 "$maker_title")
diagnose_list=$title

# Replaces the address box's text the way a user would: empty it, type, and wait until it shows.
type_address() {
  drv set-text "$title" Form1.Text1 "" &&
    drv type "$title" Form1.Text1 "$1" &&
    wait_text "$title" Form1.Text1 "$1"
}

# check_fits WHAT TITLE FORM.CONTROL: the label's text, laid out in its own font as the label
# lays it out, needs no more height than the label has; a wrapped line below it would be cut off.
check_fits() {
  local what=$1 fit
  if ! fit=$(drv text-fit "$2" "$3"); then
    not_ok "$what" "$(driver_error)"
    return
  fi
  local _l lw _w wh _c cw ch
  read -r _l lw _ _w wh _c cw ch _ <<<"$fit"
  if ((wh <= ch)); then
    ok "$what (${lw} px on one line in ${cw} px)"
  else
    not_ok "$what" "$3 is ${cw}x${ch} px; its text is ${lw} px wide on one line, so it wraps and needs ${wh} px" \
      "($fit)"
  fi
}

# check_box_fits WHAT TITLE FORM.CONTROL: a single-line box shows its whole text: the text on one
# line, in the box's own font, needs no more than the room between the box's margins.
check_box_fits() {
  local what=$1 fit _l lw _c cw
  if ! fit=$(drv text-fit "$2" "$3"); then
    not_ok "$what" "$(driver_error)"
    return
  fi
  read -r _l lw _ _ _ _c cw _ <<<"$fit"
  if ((lw <= cw)); then
    ok "$what (${lw} px in ${cw} px)"
  else
    not_ok "$what" "$3 holds ${cw} px of text; its text is ${lw} px wide, so it is cut" "($fit)"
  fi
}

# check_inside WHAT TITLE FORM FORM.CONTROL: the control lies wholly inside its window's client
# area; a part beyond it is cut off.
check_inside() {
  local what=$1 client rect cx cy cw ch x y w h
  if ! client=$(drv client-rect "$2" "$3") || ! rect=$(drv window-rect "$2" "$4"); then
    not_ok "$what" "$(driver_error)"
    return
  fi
  read -r cx cy cw ch <<<"$client"
  read -r x y w h <<<"$rect"
  if ((x >= cx && y >= cy && x + w <= cx + cw && y + h <= cy + ch)); then
    ok "$what"
  else
    not_ok "$what" "$4 is at $rect, the client area at $client"
  fi
}

# check_rule WHAT PICTURE "X Y W H" (the picture's place) "X Y W H" (the client area's place):
# the form draws its shapes in #808080; the row of the client area with most of that colour is the
# rule, and it must run unbroken from its first pixel to its last (an opaque label over it cuts it).
check_rule() {
  local what=$1 file=$2 px py cx cy cw ch
  read -r px py _ _ <<<"$3"
  read -r cx cy cw ch <<<"$4"
  local found
  found=$(convert "$file" -crop "${cw}x${ch}+$((cx - px))+$((cy - py))" +repage -depth 8 txt:- |
    awk -F'[,: ()]+' 'NR > 1 && $3 == 128 && $4 == 128 && $5 == 128 {
        n[$2]++; if (!($2 in f) || $1 < f[$2]) f[$2] = $1; if ($1 > l[$2]) l[$2] = $1 }
      END { best = -1; for (y in n) if (best < 0 || n[y] > n[best]) best = y
            if (best >= 0) print best, f[best], l[best], n[best] }')
  if [[ -z $found ]]; then
    not_ok "$what" "no #808080 pixel in the client area of $(basename "$file")"
    return
  fi
  local row first last count
  read -r row first last count <<<"$found"
  if ((count == last - first + 1)); then
    ok "$what ($count px at client row $row)"
  else
    not_ok "$what" "client row $row: the rule spans x $first..$last but only $count of those $((last - first + 1)) px show it"
  fi
}

# check_box_icon WHAT PICTURE "X Y W H" TITLE stop|exclamation|none: the icon of the message box
# TITLE, told by colour where PICTURE (taken at X Y) shows the box's icon control, less any button
# over it: the stop icon is red, the exclamation icon yellow (with an orange rim, which counts as
# red); without an icon the place is plain grey (the other standard icons are blue, and a default
# button has a blue frame).
check_box_icon() {
  local what=$1 file=$2 px py controls icon ox oy x y w h red yellow coloured draw=()
  read -r px py _ _ <<<"$3"
  if ! controls=$(drv list "$4"); then
    not_ok "$what" "$(driver_error)"
    return
  fi
  # Lines: name, class, id, visible, enabled, "X Y W H" on the desktop, text; the icon has no text.
  icon=$(awk -F'\t' '$2 == "Static" && $7 == "\"\"" { print $6; exit }' <<<"$controls")
  if [[ -z $icon ]]; then
    not_ok "$what" "the box has no icon control"
    return
  fi
  read -r ox oy < <(velmora_desktop_origin "$desktop" || echo 0 0)
  ox=$((${ox:-0} - px)) oy=$((${oy:-0} - py))
  while read -r x y w h; do
    draw+=(-draw "rectangle $((x + ox)),$((y + oy)) $((x + ox + w - 1)),$((y + oy + h - 1))")
  done < <(awk -F'\t' '$2 == "Button" { print $6 }' <<<"$controls")
  read -r x y w h <<<"$icon"
  read -r red yellow coloured < <(
    convert "$file" -fill '#C0C0C0' "${draw[@]}" -crop "${w}x${h}+$((x + ox))+$((y + oy))" +repage \
      -depth 8 txt:- |
      awk -F'[,: ()]+' 'NR > 1 { r = $3; g = $4; b = $5
          hi = r > g ? (r > b ? r : b) : (g > b ? g : b); lo = r < g ? (r < b ? r : b) : (g < b ? g : b)
          if (hi - lo > 60) { coloured++; if (r == hi && r - (g > b ? g : b) > 100) red++
            if (r > 160 && g > 120 && b < r - 100 && b < g - 100) yellow++ } }
        END { print red + 0, yellow + 0, coloured + 0 }')
  if [[ $5 == stop ]] && ((${red:-0} >= 100)); then
    ok "$what ($red red px in the icon's ${w}x$h)"
  elif [[ $5 == exclamation ]] && ((${yellow:-0} >= 100)); then
    ok "$what ($yellow yellow px in the icon's ${w}x$h)"
  elif [[ $5 == none ]] && ((${coloured:-1} == 0)); then
    ok "$what (the icon's ${w}x$h are grey)"
  else
    not_ok "$what" "the icon's ${w}x$h in $(basename "$file") hold ${red:-?} red and ${yellow:-?} yellow of ${coloured:-?} coloured px"
  fi
}

legacy_mode() {
  velmora_reg_query "$legacy_key" /v LegacyDefaultPrinterMode 2>/dev/null |
    tr -d '\r' | awk '$1 == "LegacyDefaultPrinterMode" { print $2, $3 }'
}

# The install log, where the program's GetTempPathW points: Wine's %TEMP% (%TMP% is the same
# there). Set once the environment is up.
install_log=

# The prefix is reused: a log of earlier runs must not pass for this one's.
clear_log() {
  rm -f "$install_log"
  if [[ -e $install_log ]]; then
    not_ok "$case_name: the install log is deleted before the start" "$install_log remains"
    return 1
  fi
}

# check_log CASE CODE [PATTERN...]: the install log holds this one run, as UTF-8 lines
# "YYYY-MM-DD HH:MM:SS.mmm EVENT" ending in CR LF, from the start of the program; some event matches
# each PATTERN (a shell pattern: * stands for any text), and the last is the end with exit code CODE.
check_log() {
  local what=$1 code=$2 copy=$VELMORA_E2E_LOG/$1.Velmora.log bad events event want found missing=()
  shift 2
  if [[ ! -s $install_log ]]; then
    not_ok "$what: the install log $install_log is written" "there is no such file, or it is empty"
    return
  fi
  cp "$install_log" "$copy"
  if ! iconv -f UTF-8 -t UTF-8 "$install_log" >/dev/null 2>&1; then
    not_ok "$what: the install log is UTF-8 text" "see $copy"
  elif bad=$(LC_ALL=C grep -n -v -E $'^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{3} [^\r]+\r$' "$install_log") ||
    [[ $(tail -c 2 "$install_log" | od -An -tx1) != ' 0d 0a' ]]; then
    not_ok "$what: every line of the install log is a time and an event, ending in CR LF" \
      "${bad:-the last line has no CR LF}" "see $copy"
  else
    ok "$what: the install log is UTF-8, one timed event a line, CR LF ($(wc -l <"$install_log") lines)"
  fi
  events=$(sed 's/^[^ ]* [^ ]* //; s/\r$//' "$install_log")
  if [[ $(grep -c '^開始：' <<<"$events") != 1 || $(head -n 1 <<<"$events") != "開始：$program_image，資料夾 "* ]]; then
    not_ok "$what: the install log holds one run, from the start of $program_image" \
      "$(grep -m 3 '^開始：' <<<"$events" | tr '\n' ' ')" "see $copy"
  fi
  for want in "$@"; do
    found=no
    while IFS= read -r event; do
      # shellcheck disable=SC2053  # a pattern
      [[ $event == $want ]] && found=yes && break
    done <<<"$events"
    [[ $found == yes ]] || missing+=("$want")
  done
  if (($# == 0)); then
    :
  elif ((${#missing[@]} == 0)); then
    ok "$what: the install log holds every event looked for ($#)"
  else
    not_ok "$what: the install log holds the events of the run" \
      "${missing[@]/#/missing: }" "see $copy"
  fi
  check_equal "$what: the install log ends with the exit code" "$(tail -n 1 <<<"$events")" \
    "結束，結束代碼 $code"
}

readonly summary_head='安裝沒有全部完成，下列步驟失敗：'
readonly summary_tail='詳細經過記錄在暫存資料夾（%TEMP%）的 Velmora.log。'

# summary_note TEXT: what a failure summary says after its pointer to the log and an empty line
# (what a run that took back its changes left on the PC); false when it says nothing there.
summary_note() {
  local tail=$'\r\n\r\n'$summary_tail$'\r\n\r\n'
  [[ $1 == *"$tail"?* ]] && printf '%s' "${1#*"$tail"}"
}

# summary_steps TEXT: the steps a failure summary lists, one "STEP<TAB>REASON" line each; false
# when TEXT is not laid out as one (CR LF line breaks): the heading, for each step an empty line,
# "● STEP" and the reason indented by four spaces, then an empty line and the pointer to the log,
# and, where the run took back its changes, an empty line and a one-line note of that.
summary_steps() {
  local text=$1 lines i note
  local head=$summary_head$'\r\n' tail=$'\r\n\r\n'$summary_tail
  if note=$(summary_note "$text"); then
    [[ $note != *[$'\r\n']* ]] || return 1
    text=${text%$'\r\n\r\n'"$note"}
  fi
  [[ $text == "$head"*"$tail" ]] || return 1
  text=${text#"$head"}
  text=${text%"$tail"}
  [[ ${text//$'\r\n'/} != *[$'\r\n']* ]] || return 1  # every line break is CR LF
  mapfile -t lines <<<"${text//$'\r\n'/$'\n'}"
  ((${#lines[@]} % 3 == 0)) || return 1
  for ((i = 0; i < ${#lines[@]}; i += 3)); do
    [[ -z ${lines[i]} && ${lines[i + 1]} == '● '?* && ${lines[i + 2]} == '    '[!\ ]* ]] || return 1
    printf '%s\t%s\n' "${lines[i + 1]#● }" "${lines[i + 2]#    }"
  done
}

# check_summary WHAT TEXT STEP...: TEXT is a failure summary that lists each STEP and no other
# (one check); its "STEP<TAB>REASON" lines are left in summary_lines for the checks of the reasons.
check_summary() {
  local what=$1 text=$2 step listed missing=()
  shift 2
  if ! summary_lines=$(summary_steps "$text"); then
    not_ok "$what" "not laid out as heading, failed steps with reasons, pointer to the log:" \
      "$(shown "$text")"
    return 1
  fi
  listed=$(cut -f 1 <<<"$summary_lines")
  for step in "$@"; do
    if grep -qxF -- "$step" <<<"$listed"; then
      listed=$(grep -vxF -- "$step" <<<"$listed")
    else
      missing+=("$step")
    fi
  done
  if ((${#missing[@]} == 0)) && [[ -z $listed ]]; then
    ok "$what"
  else
    not_ok "$what" "${missing[@]/#/not listed: }" ${listed:+"listed besides: $(tr '\n' '|' <<<"$listed")"}
    return 1
  fi
}

# reason_of STEP: the reason the summary last checked gives for STEP.
reason_of() { awk -F'\t' -v s="$1" '$1 == s { print $2; exit }' <<<"$summary_lines"; }

# --- the cases ------------------------------------------------------------------------------------

# Enter at once: the box still holds the computer's own address, which is no printer's.
case_unchanged_address() {
  begin_case unchanged-address "$profile_line" || return
  local own=$own_address
  wait_text "$title" Form1.Text1 "$own" ||
    { give_up "unchanged-address: Form1.Text1 starts with the own address \"$own\"" "$(driver_error)"; return; }
  drv key "$title" Form1.Text1 enter || { give_up "unchanged-address: Enter is sent" "$(driver_error)"; return; }
  expect_box "unchanged-address: Enter with the own address shows the not-changed notice" 提示 \
    "您的IP尚未修改，請先修改後再按確定。" || { diagnose; end_case; return; }
  drv msgbox-press 提示 ok && drv wait-gone 提示 15000 ||
    { give_up "unchanged-address: the notice closes with OK" "$(driver_error)"; return; }
  if drv wait-window "$title" 2000 && wait_state is-enabled "$title" Form1 true; then
    ok "unchanged-address: the main window is still there and takes input again"
  else
    not_ok "unchanged-address: the main window is still there and takes input again" "$(driver_error)"
  fi
  check_equal "unchanged-address: Form1.Text1 keeps the address" \
    "$(drv get-text "$title" Form1.Text1)" "$own"
  check_ini "unchanged-address: ip.ini is unchanged" "$profile_line"
  end_case
}

case_invalid_address() {
  begin_case invalid-address "$profile_line" || return
  type_address 256.1.1.1 || { give_up "invalid-address: 256.1.1.1 is typed" "$(driver_error)"; return; }
  drv key "$title" Form1.Text1 enter || { give_up "invalid-address: Enter is sent" "$(driver_error)"; return; }
  expect_box "invalid-address: 256.1.1.1 with Enter shows \"IP不正確\"" Velmora "IP不正確" ||
    { diagnose; end_case; return; }
  drv msgbox-press Velmora ok && drv wait-gone Velmora 15000 ||
    { give_up "invalid-address: the stop closes with OK" "$(driver_error)"; return; }
  if drv wait-window "$title" 2000 && wait_state is-enabled "$title" Form1 true; then
    ok "invalid-address: the main window is still there and takes input again"
  else
    not_ok "invalid-address: the main window is still there and takes input again" "$(driver_error)"
  fi
  check_ini "invalid-address: ip.ini is unchanged" "$profile_line"
  end_case
}

case_declined_install() {
  case_name=declined-install
  clear_log || return
  begin_case declined-install "$profile_line" || return
  type_address 10.0.0.8 || { give_up "declined-install: 10.0.0.8 is typed" "$(driver_error)"; return; }
  drv key "$title" Form1.Text1 enter || { give_up "declined-install: Enter is sent" "$(driver_error)"; return; }
  expect_box "declined-install: a valid address asks whether to install now" 提示 \
    $'IP 已設定完成。\r\n\r\n您是否要立即安裝驅動程式？' || { diagnose; end_case; return; }
  # The profile is written before the question is asked.
  check_ini "declined-install: ip.ini holds the new address, the other fields kept (CP950, CR LF)" \
    'ip,10.0.0.8,Office,Model X,x.inf,100'
  answer_ends 提示 no question 1602 15000 || return
  check_log declined-install 1602
  # Only the start-up's registry command may have been started: nothing of an install.
  [[ -f $VELMORA_E2E_LOG/declined-install.Velmora.log ]] &&
    check_equal "declined-install: the install log shows no install command and no WMI change" \
      "$(grep -a -e ' 執行 ' -e ' WMI ' "$VELMORA_E2E_LOG/declined-install.Velmora.log")" ""
  check_ini "declined-install: ip.ini still holds the new address after the end" \
    'ip,10.0.0.8,Office,Model X,x.inf,100'
  end_case
}

# Escape on the install question (the system answers a Yes/No box with Cancel then) is No: the
# program ends with 1602 and installs nothing.
case_escaped_install() {
  case_name=escaped-install
  clear_log || return
  begin_case escaped-install "$profile_line" || return
  type_address 10.0.0.8 || { give_up "escaped-install: 10.0.0.8 is typed" "$(driver_error)"; return; }
  drv key "$title" Form1.Text1 enter || { give_up "escaped-install: Enter is sent" "$(driver_error)"; return; }
  expect_box "escaped-install: a valid address asks whether to install now" 提示 \
    $'IP 已設定完成。\r\n\r\n您是否要立即安裝驅動程式？' || { diagnose; end_case; return; }
  answer_ends 提示 cancel question 1602 15000 || return
  check_log escaped-install 1602
  [[ -f $VELMORA_E2E_LOG/escaped-install.Velmora.log ]] &&
    check_equal "escaped-install: the install log shows no install command and no WMI change" \
      "$(grep -a -e ' 執行 ' -e ' WMI ' "$VELMORA_E2E_LOG/escaped-install.Velmora.log")" ""
  end_case
}

# A package whose ip.ini cannot be written (another program holds it open against writers, as a
# read-only share or an editor does; Wine lets root write a read-only file, so the attribute
# cannot stand in for it): the confirmation logs it and the install goes on with the address
# confirmed. ip.ini keeps what it held.
case_read_only_profile() {
  case_name=read-only-profile
  clear_log || return
  begin_case read-only-profile "$profile_line" || return
  local held=$VELMORA_E2E_LOG/read-only-profile.hold release="$package/release"
  timeout 120 wine "$driver" hold-file "$(velmora_wine winepath -w "$package/ip.ini" | tr -d '\r')" \
    "$(velmora_wine winepath -w "$release" | tr -d '\r')" 90000 >"$held" 2>"$held.err" &
  local holder=$!
  if ! velmora_poll 20 grep -qs '^held' "$held"; then
    give_up "read-only-profile: ip.ini is held open against writers" "$(cat "$held.err")"
    touch "$release"; wait "$holder"; return
  fi
  answer_install_question read-only-profile 127.0.0.1 || { touch "$release"; wait "$holder"; return; }
  local text
  text=$(drv --timeout=30000 msgbox-text Velmora) ||
    { give_up "read-only-profile: the run ends with a summary box" "$(driver_error)"; touch "$release"; wait "$holder"; return; }
  if [[ $text == *'新增連接埠 IP_127.0.0.1'* ]]; then
    ok "read-only-profile: the install ran for the confirmed address 127.0.0.1"
  else
    not_ok "read-only-profile: the install ran for the confirmed address 127.0.0.1" "summary: $(shown "$text")"
  fi
  answer_ends Velmora ok summary 1603 30000
  touch "$release"
  wait "$holder" || not_ok "read-only-profile: ip.ini was held until the end" "$(cat "$held.err")"
  check_ini "read-only-profile: ip.ini keeps the profile it held" "$profile_line"
  check_log read-only-profile 1603 \
    '無法寫入 ip.ini，以確認的位址繼續安裝：*' \
    '進度：正在...新增連接埠'
  end_case
}

case_package_maker() {
  begin_case package-maker "$profile_line" || return
  local name='彩色印表機 二樓'
  drv menu "$title" 進階/設定值 || { give_up "package-maker: menu 進階/設定值 is chosen" "$(driver_error)"; return; }
  drv wait-window "$maker_title" 10000 ||
    { give_up "package-maker: 設定值 opens \"$maker_title\"" "$(driver_error)"; return; }
  ok "package-maker: 設定值 opens \"$maker_title\""
  check_state "package-maker: the main window is disabled while the maker is open" \
    is-enabled "$title" Form1 false
  check_state "package-maker: ADVSET.Text2 shows the printer name from ip.ini" \
    get-text "$maker_title" ADVSET.Text2 Office
  drv set-text "$maker_title" ADVSET.Text2 "" && drv type "$maker_title" ADVSET.Text2 "$name" &&
    wait_text "$maker_title" ADVSET.Text2 "$name" ||
    { give_up "package-maker: the new name is typed into ADVSET.Text2" "$(driver_error)"; return; }
  drv click "$maker_title" ADVSET.Command2 || { give_up "package-maker: 確定 is clicked" "$(driver_error)"; return; }
  if drv wait-gone "$maker_title" 15000; then
    ok "package-maker: 確定 closes the maker"
  else
    give_up "package-maker: 確定 closes the maker" "$(driver_error)"
    return
  fi
  # The main window's fields change in the same click reaction, so they must show at once.
  check_state "package-maker: Form1.Text2 shows the new name" get-text "$title" Form1.Text2 "$name"
  check_state "package-maker: Form1.Label1 shows \"機型： \" and the new name" \
    get-text "$title" Form1.Label1 "機型： $name"
  if wait_state is-enabled "$title" Form1 true 2; then
    ok "package-maker: the main window takes input again"
  else
    not_ok "package-maker: the main window takes input again" "$(driver_error)"
  fi
  check_ini "package-maker: ip.ini holds the new name (CP950, CR LF)" \
    "ip,192.168.0.250,$name,Model X,x.inf,100"
  end_case
}

# wait_next_box TITLE OLD SECS: prints the text of the message box TITLE once it says something
# other than OLD; the box after an answered one may carry the same title.
wait_next_box() {
  local box_title=$1 old=$2 secs=$3 got
  local deadline=$((SECONDS + secs))
  while ((SECONDS < deadline)); do
    if got=$(drv --timeout=1000 msgbox-text "$box_title") && [[ $got != "$old" ]]; then
      printf '%s' "$got"
      return 0
    fi
  done
  echo "no message box \"$box_title\" other than $(shown "$old") within $secs s" >"$driver_err"
  return 1
}

# check_notice_unloaded WHAT: the notice window (form msg) no longer exists; the hidden engine
# window of the same title may.
check_notice_unloaded() {
  local what=$1 visible
  if visible=$(drv --timeout=0 wait-control "$notice_title" msg 0); then
    visible=$(drv --timeout=0 is-visible "$notice_title" msg)
    not_ok "$what" "the form msg still exists (visible: $visible)"
  elif grep -q -e 'has no control msg' -e 'no window titled' "$driver_err"; then
    ok "$what"
  else
    not_ok "$what" "$(driver_error)"
  fi
}

# answer_install_question CASE ADDRESS: types ADDRESS, Enter, and Yes to the install question.
answer_install_question() {
  type_address "$2" || { give_up "$1: $2 is typed" "$(driver_error)"; return 1; }
  drv key "$title" Form1.Text1 enter || { give_up "$1: Enter is sent" "$(driver_error)"; return 1; }
  expect_box "$1: the install question" 提示 $'IP 已設定完成。\r\n\r\n您是否要立即安裝驅動程式？' ||
    { diagnose; end_case; return 1; }
  drv msgbox-press 提示 yes || { give_up "$1: Yes is pressed" "$(driver_error)"; return 1; }
}

# A whole install run for a printer that answers (the listener on 127.0.0.1:9100): no question,
# the port fails (Wine has no TCP/IP port class), and a pass without a port adds no printer; the
# run says so in one box at its very end, with what its undo left on the PC.
case_engine() {
  case_name=engine
  # The prefix is reused: the value of an earlier run must not pass for this one's.
  velmora_wine reg delete "$legacy_key" /v LegacyDefaultPrinterMode /f >/dev/null
  if [[ -n $(legacy_mode) ]]; then
    not_ok "engine: LegacyDefaultPrinterMode is cleared before the start" "reg delete did not remove it"
    return
  fi
  clear_log || return
  begin_case engine "$profile_line" || return
  answer_install_question engine 127.0.0.1 || return

  local text port='新增連接埠 IP_127.0.0.1' printer='安裝印表機「Office」'
  local no_port='連接埠 IP_127.0.0.1 沒有建立，這台印表機沒有安裝。'
  local undone='這次安裝沒有留下印表機或連接埠，這台電腦的印表機與連接埠和安裝前相同。'
  text=$(drv --timeout=30000 msgbox-text Velmora) ||
    { give_up "engine: the run ends with a summary box \"Velmora\"" "$(driver_error)"; return; }
  if [[ $text == 印表機\ 127.0.0.1\ * ]]; then
    not_ok "engine: a printer that answers on 9100 is not asked about" "asked: $(shown "$text")"
    diagnose
    end_case
    return
  fi
  if check_summary "engine: the summary lists the failed port and the printer it left out, nothing else" \
    "$text" "$port" "$printer"; then
    local reason
    reason=$(reason_of "$port")
    if [[ $reason =~ 0x[0-9A-F]{8} ]]; then
      ok "engine: the port's reason gives the error number (\"$reason\")"
    else
      not_ok "engine: the port's reason gives the error number" "got: $(shown "$reason")"
    fi
    check_equal "engine: the printer's reason says its port was not made" "$(reason_of "$printer")" "$no_port"
  fi
  check_equal "engine: the summary ends saying the PC is as before" "$(summary_note "$text")" "$undone"
  check_state "engine: the main window stays hidden while the summary is open" \
    is-visible "$title" Form1 false
  check_notice_unloaded "engine: the notice window is unloaded before the summary shows"
  check_equal "engine: LegacyDefaultPrinterMode is REG_DWORD 0x1 before the summary shows" \
    "$(legacy_mode)" "REG_DWORD 0x1"
  check_ini "engine: ip.ini holds the confirmed address" 'ip,127.0.0.1,Office,Model X,x.inf,100'
  local box
  if box=$(rect_of Velmora); then
    shot engine-summary.png "$box"
    check_box_icon "engine: the summary shows the stop icon" "$artifacts/engine-summary.png" "$box" Velmora stop
  else
    not_ok "engine: screenshot engine-summary.png" "$(driver_error)"
  fi

  answer_ends Velmora ok summary 1603 30000 || return
  check_log engine 1603 \
    'ip.ini：ip,127.0.0.1,Office,Model X,x.inf,100' \
    '進度：正在...確認印表機' \
    '探測 127.0.0.1 連接埠 9100 → 有回應' \
    '進度：正在...新增連接埠' \
    'WMI *Win32_TCPIPPrinterPort → 失敗 0x*：*' \
    "步驟失敗：$port：*" \
    "步驟失敗：$printer：$no_port" \
    '復原這次安裝：連接埠沒有建立' \
    "$undone"
  # 9100 answered: no other port is tried; no pass got a port: no install line was started.
  [[ -f $VELMORA_E2E_LOG/engine.Velmora.log ]] &&
    check_equal "engine: the install log shows no further probe and no started command" \
      "$(grep -a -e '探測 127.0.0.1 連接埠 631' -e '探測 127.0.0.1 連接埠 515' -e ' 執行 ' -e printui \
        "$VELMORA_E2E_LOG/engine.Velmora.log")" ""
  end_case
}

# Started as SHARE_srv_hp.exe the engine connects to \\srv\hp instead of installing, and first
# says "SHARE" in a box while the notice window is up: the notice holds still for its checks and
# pictures. Wine cannot connect to a shared printer, so the run ends with a summary.
case_notice() {
  case_name=notice
  clear_log || return
  begin_case notice "$profile_line" SHARE_srv_hp.exe || return
  answer_install_question notice 10.0.0.8 || return
  expect_box "notice: the engine says \"SHARE\" (Velmora) before it connects" Velmora SHARE 30000 ||
    { diagnose; end_case; return; }
  if wait_state is-visible "$notice_title" msg true; then
    ok "notice: the notice window \"$notice_title\" (form msg) is up meanwhile"
  else
    give_up "notice: the notice window \"$notice_title\" (form msg) is up meanwhile" "$(driver_error)"
    return
  fi
  check_state "notice: the notice window is topmost (WS_EX_TOPMOST)" is-topmost "$notice_title" msg true
  check_state "notice: the main window is hidden" is-visible "$title" Form1 false
  # No pass has run, so the labels show the texts the window is designed with.
  check_state "notice: msg.Label1 shows its heading" get-text "$notice_title" msg.Label1 "安裝中..."
  check_state "notice: msg.PrintNameLabel is empty (no printer named yet)" \
    get-text "$notice_title" msg.PrintNameLabel ""
  check_state "notice: msg.Label2 shows its design text" get-text "$notice_title" msg.Label2 "請等待幾秒鐘"
  check_fits "notice: msg.Label1 fits its label" "$notice_title" msg.Label1
  check_fits "notice: msg.PrintNameLabel fits its label" "$notice_title" msg.PrintNameLabel
  check_fits "notice: msg.Label2 fits its label" "$notice_title" msg.Label2
  local label
  for label in Label1 PrintNameLabel Label2; do
    check_inside "notice: msg.$label lies inside the notice's client area" "$notice_title" msg "msg.$label"
  done

  # The box is centred on the notice and hides it; it is moved below it for the pictures.
  local notice box client
  if notice=$(rect_of "$notice_title" msg) && box_clear_of Velmora "$notice" && box=$(rect_of Velmora); then
    shot msg.png "$notice"
    if client=$(drv client-rect "$notice_title" msg); then
      local ox oy x y w h
      read -r ox oy < <(velmora_desktop_origin "$desktop" || echo 0 0)
      read -r x y w h <<<"$client"
      check_rule "notice: the notice's rule is drawn unbroken" "$artifacts/msg.png" \
        "$notice" "$((x + ${ox:-0})) $((y + ${oy:-0})) $w $h"
    else
      not_ok "notice: the notice's client area is readable" "$(driver_error)"
    fi
    shot notice-share.png "$(union "$notice" "$box")"
    check_box_icon "notice: the \"SHARE\" box shows no icon" "$artifacts/notice-share.png" \
      "$(union "$notice" "$box")" Velmora none
  else
    not_ok "notice: screenshots msg.png and notice-share.png" "$(driver_error)"
  fi

  drv msgbox-press Velmora ok || { give_up "notice: OK is pressed on \"SHARE\"" "$(driver_error)"; return; }
  local text share='連線到共用印表機 \\srv\hp'
  text=$(wait_next_box Velmora SHARE 30) ||
    { give_up "notice: the run ends with a summary box \"Velmora\"" "$(driver_error)"; return; }
  check_summary "notice: the summary lists the failed connection \"$share\" alone" "$text" "$share"
  answer_ends Velmora ok summary 1603 30000 || return
  # A renamed copy's run leaves ip.ini as it was; the engine logs it as read.
  check_log notice 1603 "ip.ini：$profile_line" "步驟失敗：${share//\\/\\\\}：*"
  end_case
}

# probe_question ADDRESS [PORT]: the question the install asks about a printer that does not
# answer on 9100; PORT is the other port that answered, if one did.
probe_question() {
  if (($# == 1)); then
    printf '印表機 %s 沒有回應（連接埠 9100）。\r\n\r\n請確認印表機已開機並接上網路。\r\n仍要安裝嗎？' "$1"
  else
    printf '印表機 %s 有回應（連接埠 %s），但連接埠 9100 沒有開啟。\r\n\r\n請在印表機的設定中啟用連接埠 9100（RAW 列印）。\r\n仍要安裝嗎？' "$1" "$2"
  fi
}

# expect_probe_question CASE ADDRESS [PORT]: after Yes to the install question the probe's
# question (Velmora) is open and says exactly what it should, while the notice names the printer
# and says it checks it. False, the case given up, when the question does not come.
expect_probe_question() {
  local case=$1
  shift
  expect_box "$case: the printer's silence on 9100 is asked about, naming the address" Velmora \
    "$(probe_question "$@")" 30000 || { diagnose; end_case; return 1; }
  if wait_state is-visible "$notice_title" msg true; then
    ok "$case: the notice window is up meanwhile"
  else
    not_ok "$case: the notice window is up meanwhile" "$(driver_error)"
  fi
  check_state "$case: the notice names the printer" get-text "$notice_title" msg.PrintNameLabel Office
  check_state "$case: the notice says the printer is being checked" \
    get-text "$notice_title" msg.Label2 "正在...確認印表機"
  check_state "$case: the main window is hidden" is-visible "$title" Form1 false
}

# probe_events ADDRESS verdict...: the log's probe events for 9100, 631 and 515 in turn, one for
# each verdict given.
probe_events() {
  local address=$1 ports=(9100 631 515) i
  shift
  for ((i = 1; i <= $#; i++)); do
    printf '%s\n' "探測 $address 連接埠 ${ports[i - 1]} → ${!i}"
  done
}

# An address nothing answers on: after Yes to the install question the probe asks, and No ends
# the program with 1602 before any port or printer step; ip.ini keeps what the main window saved.
case_probe_silent() {
  case_name=probe-silent
  clear_log || return
  begin_case probe-silent "$profile_line" || return
  answer_install_question probe-silent 127.0.0.2 || return
  expect_probe_question probe-silent 127.0.0.2 || return
  check_ini "probe-silent: ip.ini holds the confirmed address while the question is open" \
    'ip,127.0.0.2,Office,Model X,x.inf,100'
  local notice box
  if notice=$(rect_of "$notice_title" msg) && box_clear_of Velmora "$notice" && box=$(rect_of Velmora); then
    shot probe-question.png "$(union "$notice" "$box")"
    check_box_icon "probe-silent: the question shows the exclamation icon" "$artifacts/probe-question.png" \
      "$(union "$notice" "$box")" Velmora exclamation
  else
    not_ok "probe-silent: screenshot probe-question.png" "$(driver_error)"
  fi
  answer_ends Velmora no "probe question" 1602 15000 || return
  local events=()
  mapfile -t events < <(probe_events 127.0.0.2 沒有回應 沒有回應 沒有回應)
  check_log probe-silent 1602 '進度：正在...確認印表機' "${events[@]}" '印表機沒有回應，使用者選擇不安裝'
  local log=$VELMORA_E2E_LOG/probe-silent.Velmora.log
  if [[ -f $log ]]; then
    check_equal "probe-silent: no port or printer step ran, nothing was started and WMI was not asked" \
      "$(grep -a -e 新增連接埠 -e 安裝印表機 -e ' 執行 ' -e ' WMI ' "$log")" ""
    check_equal "probe-silent: each port was probed once" \
      "$(grep -a -o '探測 .*' "$log" | tr -d '\r')" "$(printf '%s\n' "${events[@]}")"
  fi
  check_ini "probe-silent: ip.ini still holds the confirmed address after the end" \
    'ip,127.0.0.2,Office,Model X,x.inf,100'
  end_case
}

# Escape on the probe's question (the box answers Cancel then) is No.
case_probe_escaped() {
  case_name=probe-escaped
  clear_log || return
  begin_case probe-escaped "$profile_line" || return
  answer_install_question probe-escaped 127.0.0.2 || return
  expect_box "probe-escaped: the printer's silence is asked about" Velmora "$(probe_question 127.0.0.2)" 30000 ||
    { diagnose; end_case; return; }
  answer_ends Velmora cancel "probe question" 1602 15000 || return
  check_log probe-escaped 1602 '印表機沒有回應，使用者選擇不安裝'
  [[ -f $VELMORA_E2E_LOG/probe-escaped.Velmora.log ]] &&
    check_equal "probe-escaped: no port or printer step ran" \
      "$(grep -a -e 新增連接埠 -e 安裝印表機 -e ' 執行 ' "$VELMORA_E2E_LOG/probe-escaped.Velmora.log")" ""
  end_case
}

# Only IPP answers (the listener on 127.0.0.3:631): the question says 9100 is closed and how to
# open it; Yes goes on with the install, which then fails at the port as under every Wine.
case_probe_other_port() {
  case_name=probe-other-port
  clear_log || return
  begin_case probe-other-port "$profile_line" || return
  answer_install_question probe-other-port 127.0.0.3 || return
  expect_probe_question probe-other-port 127.0.0.3 631 || return
  local notice box
  if notice=$(rect_of "$notice_title" msg) && box_clear_of Velmora "$notice" && box=$(rect_of Velmora); then
    shot probe-question-631.png "$(union "$notice" "$box")"
  else
    not_ok "probe-other-port: screenshot probe-question-631.png" "$(driver_error)"
  fi
  drv msgbox-press Velmora yes || { give_up "probe-other-port: Yes is pressed" "$(driver_error)"; return; }
  local text port='新增連接埠 IP_127.0.0.3' printer='安裝印表機「Office」'
  text=$(wait_next_box Velmora "$(probe_question 127.0.0.3 631)" 30) ||
    { give_up "probe-other-port: the run ends with a summary box \"Velmora\"" "$(driver_error)"; return; }
  if check_summary "probe-other-port: after Yes the install goes on: the summary lists the port and the printer" \
    "$text" "$port" "$printer"; then
    check_equal "probe-other-port: the printer's reason names the port of the address" \
      "$(reason_of "$printer")" '連接埠 IP_127.0.0.3 沒有建立，這台印表機沒有安裝。'
  fi
  answer_ends Velmora ok summary 1603 30000 || return
  local events=()
  mapfile -t events < <(probe_events 127.0.0.3 沒有回應 有回應)
  check_log probe-other-port 1603 "${events[@]}" '進度：正在...新增連接埠'
  [[ -f $VELMORA_E2E_LOG/probe-other-port.Velmora.log ]] &&
    check_equal "probe-other-port: 515 is not probed once 631 answered" \
      "$(grep -a -o '探測 .*' "$VELMORA_E2E_LOG/probe-other-port.Velmora.log" | tr -d '\r')" \
      "$(printf '%s\n' "${events[@]}")"
  end_case
}

# With two printers the main window's name box is disabled; its text must still read on the box's
# pale yellow: the darkest pixel of the box (its text) is a mid grey, not the system's faint one and
# not the black of an enabled box.
case_two_printers() {
  begin_case two-printers "ip,192.168.0.250,Office,Model X,x.inf,001" || return
  check_state "two-printers: Form1.Text2 is disabled" is-enabled "$title" Form1.Text2 false
  local main box form ox oy x y w h fx fy fw fh px py darkest
  if main=$(rect_of "$title") && box=$(drv client-rect "$title" Form1.Text2) &&
    form=$(drv client-rect "$title"); then
    shot form1-two-printers.png "$main"
    read -r ox oy < <(velmora_desktop_origin "$desktop" || echo 0 0)
    read -r px py _ _ <<<"$main"
    read -r x y w h <<<"$box"
    # The box runs two pixels past the window's edges by design; the frame there is not its text.
    read -r fx fy fw fh <<<"$form"
    w=$(((x + w < fx + fw ? x + w : fx + fw) - x)) h=$(((y + h < fy + fh ? y + h : fy + fh) - y))
    darkest=$(convert "$artifacts/form1-two-printers.png" \
      -crop "${w}x${h}+$((x + ${ox:-0} - px))+$((y + ${oy:-0} - py))" +repage \
      -colorspace Gray -format '%[fx:round(minima*255)]' info:)
    if ((darkest >= 0x40 && darkest <= 0x70)); then
      ok "two-printers: the disabled name reads in grey (darkest $darkest)"
    else
      not_ok "two-printers: the disabled name reads in grey" "darkest grey $darkest, wanted 64 to 112"
    fi
  else
    not_ok "two-printers: screenshot form1-two-printers.png" "$(driver_error)"
  fi
  end_case
}

# Started from another folder, as a shortcut with another start folder would: the program reads the
# profile of its own folder and writes nothing where it was started.
case_other_folder() {
  case_name=other-folder
  local elsewhere line='ip,10.0.0.7,Office,Model X,x.inf,100'
  elsewhere=$(mktemp -d /tmp/velmora-elsewhere.XXXXXX)
  velmora_on_exit "rm -rf '$elsewhere'"
  begin_case other-folder "$line" Velmora.exe "$elsewhere" || return
  if wait_text "$title" Form1.Text1 10.0.0.7; then
    ok "other-folder: Form1.Text1 shows the address of the package's ip.ini"
  else
    not_ok "other-folder: Form1.Text1 shows the address of the package's ip.ini" "$(driver_error)"
  fi
  check_state "other-folder: Form1.Text2 shows the printer of the package's ip.ini" \
    get-text "$title" Form1.Text2 Office
  check_equal "other-folder: nothing is created in the folder it was started from" \
    "$(ls -A "$elsewhere")" ""
  check_ini "other-folder: the package's ip.ini is unchanged" "$line"
  end_case
}

# An ip.ini short of fields is a damaged package: the confirmation refuses it, writes nothing and
# installs nothing.
case_damaged() {
  case_name=damaged
  local line='ip,10.0.0.7,Office' text
  clear_log || return
  begin_case damaged "$line" || return
  type_address 10.0.0.8 || { give_up "damaged: 10.0.0.8 is typed" "$(driver_error)"; return; }
  drv key "$title" Form1.Text1 enter || { give_up "damaged: Enter is sent" "$(driver_error)"; return; }
  text=$(drv msgbox-text Velmora) ||
    { give_up "damaged: Enter shows a stop box \"Velmora\"" "$(driver_error)"; return; }
  if [[ $text == *ip.ini* && $text == *沒有安裝任何東西* ]]; then
    ok "damaged: the stop names ip.ini and says nothing was installed"
  else
    not_ok "damaged: the stop names ip.ini and says nothing was installed" "got: $(shown "$text")"
  fi
  echo "# the stop says: $(shown "$text")"
  check_ini "damaged: ip.ini is unchanged while the stop is open" "$line"
  local main box
  if main=$(rect_of "$title") && box_clear_of Velmora "$main" && box=$(rect_of Velmora); then
    shot damaged-stop.png "$(union "$main" "$box")"
    check_box_icon "damaged: the box shows the stop icon" "$artifacts/damaged-stop.png" \
      "$(union "$main" "$box")" Velmora stop
  else
    not_ok "damaged: screenshot damaged-stop.png" "$(driver_error)"
  fi
  answer_ends Velmora ok stop 1620 15000 || return
  check_ini "damaged: ip.ini is unchanged after the end" "$line"
  check_log damaged 1620 "ip.ini：$line"
  end_case
}

# Every window at 96 DPI: the main window, the maker with one and with two printers, its warning,
# and the about window.
case_screens() {
  begin_case screens "$profile_line" || return
  shot_window form1.png "$title"
  check_fits "screens: Form1.Label3 fits its label" "$title" Form1.Label3
  check_fits "screens: the help link Form1.Label2 fits its label" "$title" Form1.Label2
  check_fits "screens: Form1.Label1 fits its label" "$title" Form1.Label1
  drv menu "$title" 設定值 && drv wait-window "$maker_title" 10000 ||
    { give_up "screens: 設定值 opens the maker" "$(driver_error)"; return; }
  check_state "screens: ADVSET.Check3 (two printers) starts unchecked" get-check "$maker_title" ADVSET.Check3 0
  check_state "screens: one printer shows Frame8" is-visible "$maker_title" ADVSET.Frame8 true
  check_state "screens: one printer hides Frame6" is-visible "$maker_title" ADVSET.Frame6 false
  # The sample package's model, the one a new user sees first (取消 below keeps ip.ini as it was).
  drv set-text "$maker_title" ADVSET.Text3 "$sample_model" ||
    { give_up "screens: the sample model is typed into ADVSET.Text3" "$(driver_error)"; return; }
  check_box_fits "screens: ADVSET.Text3 shows \"$sample_model\" whole" "$maker_title" ADVSET.Text3
  shot_window advset-one-printer.png "$maker_title"
  local label
  for label in 'Label3(0)' 'Label3(1)' Label4 Label7 Label5; do
    check_fits "screens: ADVSET.$label fits its label" "$maker_title" "ADVSET.$label"
  done

  drv click "$maker_title" ADVSET.Check3 || { give_up "screens: Check3 is clicked" "$(driver_error)"; return; }
  expect_box "screens: two printers without preference files warn" 提示 \
    "列印喜好設定檔尚未建立「兩台(分彩色及黑白)」" || { diagnose; end_case; return; }
  local maker box
  if maker=$(rect_of "$maker_title") && box_clear_of 提示 "$maker" && box=$(rect_of 提示); then
    shot advset-warning.png "$(union "$maker" "$box")"
  else
    not_ok "screens: screenshot advset-warning.png" "$(driver_error)"
  fi
  drv msgbox-press 提示 ok && drv wait-gone 提示 15000 ||
    { give_up "screens: the warning closes with OK" "$(driver_error)"; return; }
  check_state "screens: Check3 stays checked after the warning" get-check "$maker_title" ADVSET.Check3 1
  check_state "screens: two printers show Frame6" is-visible "$maker_title" ADVSET.Frame6 true
  check_state "screens: two printers hide Frame8" is-visible "$maker_title" ADVSET.Frame8 false
  shot_window advset-two-printers.png "$maker_title"
  drv click "$maker_title" ADVSET.Command3 && drv wait-gone "$maker_title" 15000 ||
    { give_up "screens: 取消 closes the maker" "$(driver_error)"; return; }
  check_ini "screens: 取消 leaves ip.ini unchanged" "$profile_line"

  wait_state is-enabled "$title" Form1 true 5 &&
    drv menu "$title" 關於 && drv wait-window "$about_title" 10000 ||
    { give_up "screens: 關於 opens the about window" "$(driver_error)"; return; }
  ok "screens: 關於 opens the about window"
  check_state "screens: the main window is disabled while the about window is open" \
    is-enabled "$title" Form1 false
  shot_window about.png "$about_title"
  check_fits "screens: form1_about.VER_Label fits its label" "$about_title" form1_about.VER_Label
  check_fits "screens: form1_about.Label4 fits its label" "$about_title" form1_about.Label4
  drv click "$about_title" form1_about.Command5 && drv wait-gone "$about_title" 15000 ||
    { give_up "screens: 確定 closes the about window" "$(driver_error)"; return; }
  end_case
}

case_screens_144() {
  set_dpi_seen 144 screens-144
  if begin_case screens-144 "$profile_line"; then
    shot_window form1-144dpi.png "$title"
    check_fits "screens-144: Form1.Label3 fits its label" "$title" Form1.Label3
    check_fits "screens-144: the help link Form1.Label2 fits its label" "$title" Form1.Label2
    check_fits "screens-144: Form1.Label1 fits its label" "$title" Form1.Label1
    if drv menu "$title" 設定值 && drv wait-window "$maker_title" 10000; then
      if drv set-text "$maker_title" ADVSET.Text3 "$sample_model"; then
        check_box_fits "screens-144: ADVSET.Text3 shows \"$sample_model\" whole" "$maker_title" ADVSET.Text3
      else
        not_ok "screens-144: the sample model is typed into ADVSET.Text3" "$(driver_error)"
      fi
      shot_window advset-144dpi.png "$maker_title"
    else
      not_ok "screens-144: 設定值 opens the maker" "$(driver_error)"
      diagnose
    fi
    end_case
  fi
  velmora_set_dpi 96
}

# --- environment ----------------------------------------------------------------------------------

# The printers: one that answers on 127.0.0.1:9100, one on 127.0.0.3 that answers IPP alone, and
# 127.0.0.2, where nothing answers.
listener_up 127.0.0.1 9100 || exit 1
ports_free 127.0.0.2 9100 631 515 || exit 1
ports_free 127.0.0.3 9100 || exit 1
listener_up 127.0.0.3 631 || exit 1

cases_up

find_install_log
echo "# install log: $install_log"

# The address the main window must start with, worked out by the driver itself (see smoke.sh).
if ! own_address=$(timeout 60 wine "$driver" wmi-own-address 2>"$driver_err"); then
  own_address='(the WMI query failed)'
  not_ok "WMI oracle answers" "$(driver_error)"
fi
echo "# own address by WMI: \"$own_address\""

if rule=$(timeout 60 wine "$driver" menu-self-test 2>"$driver_err"); then
  ok "driver's menu lookup ($rule)"
else
  not_ok "driver's menu lookup" "$(driver_error)"
fi

case_unchanged_address
case_invalid_address
case_declined_install
case_escaped_install
case_read_only_profile
case_package_maker
case_engine
case_probe_silent
case_probe_escaped
case_probe_other_port
case_notice
case_other_folder
case_damaged
case_two_printers
case_screens
case_screens_144

((failed == 0))
