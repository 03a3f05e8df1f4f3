#!/usr/bin/env bash
# The package maker asks a real IPP printer which model it is: ippeveprinter on 127.0.0.1:631
# (with a raw listener on 9100 beside it, as a network printer has) reports "MAKE MODEL"; with
# 127.0.0.1 in the maker's address box, 選擇型號 selects the INF's model that holds that text, not
# the first, and the label under the list says what the printer reported. Pictures at 96 and 144
# DPI, where the label must lie clear of every other control and show its whole text; at 96 DPI
# 確定 then stores the printer's model in ip.ini. Then a printer that holds its answer takes
# ippeveprinter's place: meanwhile the maker repaints and answers, and a click on 確定 waits for
# the answer.
#
#   tests/e2e/maker_ipp.sh <Velmora.exe> <velmora-e2e.exe> <artifact-dir>
#
# One "ok - ..." or "not ok - ..." line per check, then "N passed, M failed". The whole run is
# bounded by VELMORA_MAKER_IPP_TIMEOUT seconds (default 110). Ports 631 and 9100 of the machine
# must be free; the script ends with a failed check, naming the port, when one is not.
set -u -o pipefail

# shellcheck source=tests/e2e/cases.sh
source "$(dirname "${BASH_SOURCE[0]}")/cases.sh"
run_bounded VELMORA_MAKER_IPP_TIMEOUT 110 "$@"
clear_artifacts 'maker-ipp-*.png' 'failure-maker-ipp-*.png'

# shellcheck source=tests/e2e/wine-env.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

readonly title='Velmora  安裝驅動程式  '
readonly maker_title='一鍵安裝製作'
readonly desktop=velmora
readonly profile_line='ip,10.0.0.7,Office,Model X,x.inf,100'
readonly inf_name='Maker ipp x64.inf'
readonly printer_make='Maker'
readonly printer_model='Color MFP 2400dn'
readonly reported="$printer_make $printer_model"
readonly label_text="印表機回報：$reported"

# The INF's models in file order: the reported text lies in the fourth and fifth (the fourth
# wins), and the first is what 選擇型號 would select without the printer's answer.
readonly models=('Maker Laser 2400 PCL6' 'Maker Laser 2410 PCL6' 'Maker 彩色雷射 2400dn PCL6'
  'Maker Color MFP 2400dn PCL6' 'Maker Color MFP 2400dn PS' 'Maker Color MFP 2500dn PCL6')
readonly printer_entry=${models[3]}

# shellcheck source=tests/e2e/checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
report_at_exit

# A driver INF as makers ship them: UTF-16 LE with a byte-order mark, CR LF, models for x64.
write_inf() {
  local i
  # shellcheck disable=SC2016  # the INF's own $Windows NT$
  {
    printf '%s\n' '[Version]' 'Signature="$Windows NT$"' 'Class=Printer' \
      'ClassGUID={4D36E979-E325-11CE-BFC1-08002BE10318}' 'Provider=%Maker%' \
      'DriverVer=03/14/2024,6.2.1.0' '' '[Manufacturer]' '%Maker%=Maker,NTamd64' '' '[Maker.NTamd64]'
    for i in "${!models[@]}"; do
      printf '"%s" = Install_%d, WSDPRINT\\Maker%dABCD\n' "${models[i]}" "$i" "$i"
    done
    for i in "${!models[@]}"; do
      printf '%s\n' '' "[Install_$i]" 'DataSection=UNIDRV_DATA' 'Include=NTPRINT.INF' 'Needs=UNIDRV.OEM'
    done
    printf '%s\n' '' '[Strings]' 'Maker="Maker"'
  } | sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$1"
}

package_prefix=maker-ipp
fill_package() { write_inf "$package/$inf_name"; }
failure_picture=failure-maker-ipp-
diagnose_boxes=(Velmora 提示 "$maker_title")
diagnose_list=$maker_title

check_text() {
  if wait_text "$2" "$3" "$4" "${5:-10}"; then ok "$1"; else not_ok "$1" "$(driver_error)"; fi
}

# --- the printer ----------------------------------------------------------------------------------

printer_dir=
printer_pid=
# listening PORT / port_free PORT: whether something accepts a connection on 127.0.0.1:PORT.
listening() { port_answers 127.0.0.1 "$1"; }
port_free() { ! listening "$1"; }

# printer_up: a private message bus, ippeveprinter on 631 and a raw listener on 9100, each ended
# at exit; false, the reason told, when a port is taken or one of them does not come up.
printer_up() {
  ports_free 127.0.0.1 631 || return 1
  # A printer's raw port beside it, which the maker never uses.
  listener_up 127.0.0.1 9100 || return 1
  printer_dir=$(mktemp -d /tmp/velmora-printer.XXXXXX)
  velmora_on_exit "rm -rf '$printer_dir'"

  # ippeveprinter reaches the system bus at start, even with DNS-SD off: a private one stands in.
  dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$printer_dir/bus" \
    >"$VELMORA_E2E_LOG/dbus.log" 2>&1 &
  velmora_on_exit "stop_started $!"
  if ! velmora_poll 10 grep -q '^unix:' "$printer_dir/bus"; then
    not_ok "a private message bus starts for ippeveprinter" "see $VELMORA_E2E_LOG/dbus.log"
    return 1
  fi
  DBUS_SYSTEM_BUS_ADDRESS=$(head -n 1 "$printer_dir/bus") ippeveprinter -M "$printer_make" \
    -m "$printer_model" -p 631 -r off -d "$printer_dir/spool" 'Velmora Test' \
    >"$VELMORA_E2E_LOG/ippeveprinter.log" 2>&1 &
  printer_pid=$!
  velmora_on_exit "stop_started $printer_pid"

  if velmora_poll 10 port_answers 127.0.0.1 631 && kill -0 "$printer_pid" 2>/dev/null; then
    ok "ippeveprinter listens on 127.0.0.1:631"
  else
    not_ok "ippeveprinter listens on 127.0.0.1:631" "$(tail -n 5 "$VELMORA_E2E_LOG/ippeveprinter.log" | tr '\n' '|')"
    return 1
  fi
  # The printer's own answer, read by CUPS' ipptool: what the program must read too.
  local answer
  answer=$(timeout 20 ipptool -T 5 -t ipp://127.0.0.1:631/ipp/print /dev/stdin 2>&1 <<'EOF' | tr -d '\r'
{ OPERATION Get-Printer-Attributes
  GROUP operation-attributes-tag
  ATTR charset attributes-charset utf-8
  ATTR naturalLanguage attributes-natural-language en
  ATTR uri printer-uri $uri
  ATTR keyword requested-attributes printer-make-and-model
  STATUS successful-ok
  DISPLAY printer-make-and-model }
EOF
  )
  if [[ $(sed -n 's/^ *printer-make-and-model ([A-Za-z]*) = //p' <<<"$answer") == "$reported" ]]; then
    ok "ipptool reads printer-make-and-model \"$reported\" from 127.0.0.1:631"
  else
    not_ok "ipptool reads printer-make-and-model \"$reported\" from 127.0.0.1:631" "$(tr '\n' '|' <<<"$answer")"
    return 1
  fi
}

# --- the held answer ------------------------------------------------------------------------------

# A printer on 127.0.0.1:631 that answers the package maker's question (Get-Printer-Attributes on
# /ipp/print) with the same model, but holds its answer: the head at once, then a byte of the body
# every quarter second (no step of the question waits long enough to time out), the rest once the
# file "release" is in its folder. A line in its file "asked" tells each such question taken.
# Anything else is refused at once: Wine's printing asks the CUPS server on this port as a
# program starts, and a held answer would hold the start.
readonly held_printer='import os, socket, sys, time
state, model = sys.argv[1], sys.argv[2].encode()
def attribute(tag, name, value):
    return bytes([tag]) + len(name).to_bytes(2, "big") + name + len(value).to_bytes(2, "big") + value
def read_request(conn):
    data = b""
    while b"\r\n\r\n" not in data:
        chunk = conn.recv(4096)
        if not chunk: return None
        data += chunk
    head, _, body = data.partition(b"\r\n\r\n")
    lines = head.split(b"\r\n")
    length = 0
    for line in lines[1:]:
        if line.lower().startswith(b"expect:"): conn.sendall(b"HTTP/1.1 100 Continue\r\n\r\n")
        if line.lower().startswith(b"content-length:"): length = int(line.split(b":")[1])
    while len(body) < length:
        chunk = conn.recv(4096)
        if not chunk: return None
        body += chunk
    return (lines[0].split(b" ")[1], body) if length >= 8 else None
released = lambda: os.path.exists(os.path.join(state, "release"))
server = socket.create_server(("127.0.0.1", 631))
while True:
    conn = server.accept()[0]
    with conn:
        request = read_request(conn)
        if request is None: continue
        path, question = request
        held = path == b"/ipp/print" and question[2:4] == b"\x00\x0b"
        status = b"\x00\x00" if held else b"\x05\x01"
        body = (b"\x01\x01" + status + question[4:8] + b"\x01"
            + attribute(0x47, b"attributes-charset", b"utf-8")
            + attribute(0x48, b"attributes-natural-language", b"en")
            + (b"\x04" + attribute(0x41, b"printer-make-and-model", model) if held else b"") + b"\x03")
        try:
            conn.sendall(b"HTTP/1.1 200 OK\r\nContent-Type: application/ipp\r\nContent-Length: %d\r\n"
                b"Connection: close\r\n\r\n" % len(body))
            sent, next_byte = 0, time.monotonic() + 0.25
            if held:
                with open(os.path.join(state, "asked"), "a") as f: f.write("asked\n")
            while held and not released() and sent + 1 < len(body):
                if time.monotonic() >= next_byte:
                    conn.sendall(body[sent:sent + 1])
                    sent, next_byte = sent + 1, next_byte + 0.25
                time.sleep(0.02)
            conn.sendall(body[sent:])
        except OSError:
            pass'

held_dir=
# held_printer_up: ippeveprinter makes way for the held printer; false, the reason told, when it
# does not come up.
held_printer_up() {
  stop_started "$printer_pid"
  if ! velmora_poll 10 port_free 631; then
    not_ok "ippeveprinter leaves port 631 of 127.0.0.1 to the printer that holds its answer"
    return 1
  fi
  held_dir=$(mktemp -d /tmp/velmora-held.XXXXXX)
  velmora_on_exit "rm -rf '$held_dir'"
  python3 -c "$held_printer" "$held_dir" "$reported" >"$VELMORA_E2E_LOG/held-printer.log" 2>&1 &
  velmora_on_exit "stop_started $!"
  if velmora_poll 10 listening 631; then
    ok "a printer that holds its answer listens on 127.0.0.1:631"
  else
    not_ok "a printer that holds its answer listens on 127.0.0.1:631" \
      "$(tr '\n' '|' <"$VELMORA_E2E_LOG/held-printer.log")"
    return 1
  fi
}

# --- places ---------------------------------------------------------------------------------------

# apart "X Y W H" "X Y W H": the two rectangles share no pixel.
apart() {
  local ax ay aw ah bx by bw bh
  read -r ax ay aw ah <<<"$1"
  read -r bx by bw bh <<<"$2"
  ((ax + aw <= bx || bx + bw <= ax || ay + ah <= by || by + bh <= ay))
}

# check_label_place WHAT: Label_reported lies inside the maker's client area, clear of every other
# control shown there (frames included, as its own place is outside them), and its text fits it.
check_label_place() {
  local what=$1 client label listing name cls rest vis rect crowded=() shown=0
  if ! client=$(drv client-rect "$maker_title") || ! label=$(drv window-rect "$maker_title" ADVSET.Label_reported) ||
    ! listing=$(drv list "$maker_title"); then
    not_ok "$what: the maker's controls are read" "$(driver_error)"
    return
  fi
  local cx cy cw ch x y w h
  read -r cx cy cw ch <<<"$client"
  read -r x y w h <<<"$label"
  if ((w > 0 && h > 0 && x >= cx && y >= cy && x + w <= cx + cw && y + h <= cy + ch)); then
    ok "$what: ADVSET.Label_reported ($label) lies inside the client area ($client)"
  else
    not_ok "$what: ADVSET.Label_reported lies inside the client area" "label $label, client area $client"
  fi
  while IFS=$'\t' read -r name cls _ vis _ rect rest; do
    [[ $vis == visible && $name == ADVSET.* && $name != ADVSET.Label_reported ]] || continue
    shown=$((shown + 1))
    apart "$label" "$rect" || crowded+=("$name ($cls) at $rect")
  done <<<"$listing"
  if ((shown > 0 && ${#crowded[@]} == 0)); then
    ok "$what: ADVSET.Label_reported overlaps none of the $shown other controls shown"
  else
    not_ok "$what: ADVSET.Label_reported overlaps no other control" "label at $label (X Y W H)" \
      "${crowded[@]}" "($shown controls shown)"
  fi
  local fit lw wh cw2 ch2
  if fit=$(drv text-fit "$maker_title" ADVSET.Label_reported); then
    read -r _ lw _ _ wh _ cw2 ch2 _ <<<"$fit"
    if ((lw <= cw2 && wh <= ch2)); then
      ok "$what: the label's text fits it on one line (${lw}x$wh px in ${cw2}x${ch2} px)"
    else
      not_ok "$what: the label's text fits it on one line" "($fit)"
    fi
  else
    not_ok "$what: the label's text is measured" "$(driver_error)"
  fi
}

# --- the cases ------------------------------------------------------------------------------------

# 進階 → 設定值, the printer's address typed, 自動尋找 and 選擇型號; then the checks of what the
# printer's answer selected and told. False when a step failed.
ask_printer() {
  drv menu "$title" 進階/設定值 && drv wait-window "$maker_title" 10000 ||
    { give_up "$case_name: 進階 → 設定值 opens \"$maker_title\"" "$(driver_error)"; return 1; }
  ok "$case_name: 進階 → 設定值 opens \"$maker_title\""
  check_state "$case_name: ADVSET.Label_reported starts empty" get-text "$maker_title" ADVSET.Label_reported ''
  drv set-text "$maker_title" ADVSET.Text1 '' && drv type "$maker_title" ADVSET.Text1 127.0.0.1 ||
    { give_up "$case_name: 127.0.0.1 is typed into ADVSET.Text1" "$(driver_error)"; return 1; }
  check_text "$case_name: ADVSET.Text1 holds 127.0.0.1" "$maker_title" ADVSET.Text1 127.0.0.1
  drv click "$maker_title" ADVSET.Command6 ||
    { give_up "$case_name: 自動尋找 is clicked" "$(driver_error)"; return 1; }
  check_text "$case_name: 自動尋找 puts the INF's name into ADVSET.Text4" "$maker_title" ADVSET.Text4 "$inf_name"
  drv click "$maker_title" ADVSET.find_INI ||
    { give_up "$case_name: 選擇型號 is clicked" "$(driver_error)"; return 1; }
  # The question waits at most two seconds; WinHTTP is loaded on the first.
  check_text "$case_name: ADVSET.Label_reported says \"$label_text\"" \
    "$maker_title" ADVSET.Label_reported "$label_text" 15
  # The selection comes in the same reaction as the label: a short wait is enough.
  check_text "$case_name: ADVSET.Text3 shows the printer's model \"$printer_entry\", not the first" \
    "$maker_title" ADVSET.Text3 "$printer_entry" 3
  check_text "$case_name: ADVSET.Text2 takes it as the printer name" "$maker_title" ADVSET.Text2 "$printer_entry" 3
  local items
  if items=$(drv combo-items "$maker_title" ADVSET.Combo1); then
    check_equal "$case_name: ADVSET.Combo1 lists the INF's ${#models[@]} models in file order" \
      "$items" "$(printf '%s\n' "${models[@]}")"
  else
    not_ok "$case_name: ADVSET.Combo1's entries are read" "$(driver_error)"
  fi
  check_state "$case_name: ADVSET.Combo1 shows the printer's model" get-text "$maker_title" ADVSET.Combo1 "$printer_entry"
}

case_printer_96() {
  begin_case ipp-96 || return
  ask_printer || return
  check_label_place ipp-96
  shot_window maker-ipp-96dpi.png "$maker_title"
  drv click "$maker_title" ADVSET.Command2 && drv wait-gone "$maker_title" 15000 ||
    { give_up "ipp-96: 確定 saves and closes the maker" "$(driver_error)"; return; }
  ok "ipp-96: 確定 saves and closes the maker"
  check_ini "ipp-96: ip.ini holds the printer's model as name and model (CP950, CR LF)" \
    "ip,127.0.0.1,$printer_entry,$printer_entry,$inf_name,100"
  end_case
}

case_printer_144() {
  set_dpi_seen 144 ipp-144
  if begin_case ipp-144 && ask_printer; then
    check_label_place ipp-144
    shot_window maker-ipp-144dpi.png "$maker_title"
    end_case
  fi
  velmora_set_dpi 96
}

# While the printer holds its answer, the maker waits for it without blocking its window: the
# window repaints and answers reads, the label stays empty, and 確定 clicked meanwhile is carried
# out after the answer: ip.ini then holds the model the printer reported.
case_held_answer() {
  begin_case ipp-held || return
  drv menu "$title" 進階/設定值 && drv wait-window "$maker_title" 10000 ||
    { give_up "ipp-held: 進階 → 設定值 opens \"$maker_title\"" "$(driver_error)"; return; }
  drv set-text "$maker_title" ADVSET.Text1 '' && drv type "$maker_title" ADVSET.Text1 127.0.0.1 &&
    wait_text "$maker_title" ADVSET.Text1 127.0.0.1 && drv click "$maker_title" ADVSET.Command6 &&
    wait_text "$maker_title" ADVSET.Text4 "$inf_name" ||
    { give_up "ipp-held: 127.0.0.1 typed and 自動尋找 finds the INF" "$(driver_error)"; return; }
  drv click "$maker_title" ADVSET.find_INI ||
    { give_up "ipp-held: 選擇型號 is clicked" "$(driver_error)"; return; }
  if ! velmora_poll 15 test -s "$held_dir/asked"; then
    give_up "ipp-held: 選擇型號 asks the printer" "no question reached it in 15 s"
    return
  fi
  local asked_at
  asked_at=$(date +%s%N)
  ok "ipp-held: 選擇型號 asks the printer, which holds its answer"
  # The question gives up after eight seconds; these take well under one.
  check_state "ipp-held: while the answer is held, the maker answers a read of ADVSET.Text1" \
    get-text "$maker_title" ADVSET.Text1 127.0.0.1
  local painted
  if painted=$(drv repaint "$maker_title" 3000); then
    ok "ipp-held: while the answer is held, the maker repaints its window ($painted)"
  else
    not_ok "ipp-held: while the answer is held, the maker repaints its window" "$(driver_error)"
  fi
  check_state "ipp-held: ADVSET.Label_reported is still empty: the answer has not been read" \
    get-text "$maker_title" ADVSET.Label_reported ''
  drv click "$maker_title" ADVSET.Command2 ||
    { give_up "ipp-held: 確定 is clicked while the answer is held" "$(driver_error)"; return; }
  check_state "ipp-held: the maker is still open after 確定: the click waits for the answer" \
    is-visible "$maker_title" ADVSET.Command2 true
  touch "$held_dir/release"
  echo "# the answer was held for $((($(date +%s%N) - asked_at) / 1000000)) ms"
  if drv wait-gone "$maker_title" 15000; then
    ok "ipp-held: once the answer has come, 確定 saves and closes the maker"
  else
    give_up "ipp-held: once the answer has come, 確定 saves and closes the maker" "$(driver_error)"
    return
  fi
  check_ini "ipp-held: ip.ini holds the printer's model: 確定 was carried out after the answer" \
    "ip,127.0.0.1,$printer_entry,$printer_entry,$inf_name,100"
  if (($(wc -l <"$held_dir/asked") == 1)); then
    ok "ipp-held: the printer was asked once"
  else
    not_ok "ipp-held: the printer was asked once" "asked $(wc -l <"$held_dir/asked") times"
  fi
  end_case
}

# --- environment ----------------------------------------------------------------------------------

printer_up || exit 1
cases_up

case_printer_96
case_printer_144
held_printer_up && case_held_answer

((failed == 0))
