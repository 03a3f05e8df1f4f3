#!/usr/bin/env bash
# The package maker on a real-shaped driver INF under Wine: 自動尋找 finds the INF, 選擇型號 lists
# its models as Windows reads the INF for this PC, 確定 stores the first model in ip.ini, and 製作
# tells that it found no such printer. Pictures of the dropped-down model list at 96 and 144 DPI,
# and of a printer maker's own INF whose third section is no models section.
# Each case starts the program fresh in a package folder of its own.
#
#   tests/e2e/maker.sh <Velmora.exe> <velmora-e2e.exe> <artifact-dir>
#
# One "ok - ..." or "not ok - ..." line per check, then "N passed, M failed". The whole run is
# bounded by VELMORA_MAKER_TIMEOUT seconds (default 180).
set -u -o pipefail

# shellcheck source=tests/e2e/cases.sh
source "$(dirname "${BASH_SOURCE[0]}")/cases.sh"
run_bounded VELMORA_MAKER_TIMEOUT 180 "$@"
clear_artifacts 'maker-*.png' 'failure-maker-*.png'

# shellcheck source=tests/e2e/wine-env.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

readonly title='Velmora  安裝驅動程式  '
readonly maker_title='一鍵安裝製作'
readonly desktop=velmora
# 選擇型號 asks the printer at the package's address for its model: nothing answers on 127.0.0.2
# (checked below), so the list stands as the INF gives it.
readonly profile_line='ip,127.0.0.2,Office,Model X,x.inf,100'
# Not the INF that ip.ini names: 自動尋找 must find it. Chinese and a blank in its name reach the
# file list and the file reader whole.
readonly inf_name='Maker 印表機 x64.inf'

# The models section, in file order. 功 (A5 5C in code page 950) ends in a backslash byte.
models=()
for i in {0..39}; do
  n=$((1000 + i * 100))
  case $((i % 5)) in
    0) models+=("Maker 彩色雷射 $n PCL6") ;;
    1) models+=("Maker Laser $n PCL6") ;;
    2) models+=("Maker Laser $n PS") ;;
    3) models+=("Maker 多功能事務機 $n") ;;
    4) models+=("Maker Color MFP ${n}dn PCL6") ;;
  esac
done
first_model=${models[0]}
# The INF a case copies into its package instead of the one written below, if any.
inf_source=''

# shellcheck source=tests/e2e/checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
report_at_exit

# The driver INF, as makers ship them for current Windows: UTF-16 LE with a byte-order mark, CR LF,
# a comment before the first section, the models section third, one install section per model,
# the disk names and the strings last.
write_inf() {
  local n i
  # shellcheck disable=SC2016  # the INF's own $Windows NT$
  {
    printf '%s\n' '; Maker printer driver for Windows x64' '' \
      '[Version]' 'Signature="$Windows NT$"' 'Class=Printer' \
      'ClassGUID={4D36E979-E325-11CE-BFC1-08002BE10318}' 'Provider=%Maker%' \
      'DriverVer=03/14/2024,6.2.1.0' 'CatalogFile=mkprn64.cat' '' \
      '[Manufacturer]' '%Maker%=Maker,NTamd64' '' '[Maker.NTamd64]' '; colour and mono models'
    for i in "${!models[@]}"; do
      n=$((1000 + i * 100))
      printf '"%s" = Install_%d, USBPRINT\\Maker%dABCD, WSDPRINT\\Maker%dABCD\n' "${models[i]}" "$n" "$n" "$n"
    done
    for i in "${!models[@]}"; do
      n=$((1000 + i * 100))
      printf '%s\n' '' "[Install_$n]" 'CopyFiles=Maker_Files' "DataFile=MK$n.GPD" \
        'DataSection=UNIDRV_DATA' 'Include=NTPRINT.INF' 'Needs=UNIDRV.OEM'
    done
    printf '%s\n' '' '[Maker_Files]' 'MKUI.DLL' 'MKRES.DLL' '' '[DestinationDirs]' \
      'DefaultDestDir=66000' '' '[SourceDisksNames]' '1 = "Maker Printer Driver CD-ROM",,,' '' \
      '[SourceDisksFiles]' 'MKUI.DLL = 1' 'MKRES.DLL = 1' '' '[Strings]' 'Maker="Maker"'
  } | sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$1"
}

# Each case (cases.sh) has a package folder /tmp/velmora-maker.* holding the program, ip.ini and
# the driver INF; a failure leaves failure-maker-CASE.png and the maker's controls in the log.
package_prefix=maker
fill_package() {
  if [[ -n $inf_source ]]; then cp "$inf_source" "$package/$inf_name"; else write_inf "$package/$inf_name"; fi
}
failure_picture=failure-maker-
diagnose_boxes=(Velmora 提示 "$maker_title" 製作列印喜好設定)
diagnose_list=$maker_title

# check_text WHAT WIN CONTROL TEXT [SECS]: the control comes to show TEXT within SECS (10 unless
# given): the clicks are posted, their reactions come a moment later.
check_text() {
  if wait_text "$2" "$3" "$4" "${5:-10}"; then ok "$1"; else not_ok "$1" "$(driver_error)"; fi
}

main_enabled() { [[ $(drv --timeout=2000 is-enabled "$title" Form1) == true ]]; }

# The models of the INF, one a line, as Combo1 must list them.
expected_models() { printf '%s\n' "${models[@]}"; }

# Polls Combo1's entries, read from the real window, until they are the INF's 40 models in file
# order; on a mismatch shows where the lists part.
check_model_list() {
  local what=$1 got='' deadline=$((SECONDS + 10)) want
  want=$(expected_models)
  while :; do
    got=$(drv --timeout=2000 combo-items "$maker_title" ADVSET.Combo1) && [[ $got == "$want" ]] && break
    if ((SECONDS >= deadline)); then
      local count=0
      [[ -n $got ]] && count=$(wc -l <<<"$got")
      not_ok "$what" "Combo1 holds $count entries ($(driver_error))" \
        "$(diff <(echo "$want") <(echo "$got") | head -n 8 | tr '\n' '|')"
      return 1
    fi
  done
  ok "$what"
}

# inside "X Y W H" "X Y W H": the first rectangle lies wholly within the second.
inside() {
  local ax ay aw ah bx by bw bh
  read -r ax ay aw ah <<<"$1"
  read -r bx by bw bh <<<"$2"
  ((ax >= bx && ay >= by && ax + aw <= bx + bw && ay + ah <= by + bh))
}

# The maker with its model list dropped down: a settled picture of both, the list as it paints
# itself; the list must open below Combo1's field without running off the maker window, and be
# wide enough for every model name in its own font (a pixel either side); then the list is closed
# again.
shot_dropped() {
  local file=$1 list field maker area x y w h
  list=$(drv combo-drop "$maker_title" ADVSET.Combo1 show) && list=$(to_screen "$list") &&
    field=$(rect_of "$maker_title" ADVSET.Combo1) && maker=$(rect_of "$maker_title") ||
    { not_ok "$case_name: the model list drops down" "$(driver_error)"; return 1; }
  ok "$case_name: the model list drops down"
  area=$(union "$maker" "$list")
  shot "$file" "$area" "$case_name: "
  read -r x y w h <<<"$area"
  # Wine 8's virtual desktop leaves the list's X window unpainted (black) where it overlaps the
  # maker window, as it does message boxes. So the list pictures itself inside the program, and
  # that picture goes where the list lies on the screen.
  local bmp=$VELMORA_E2E_LOG/$case_name-list.bmp picture px py
  if picture=$(drv combo-capture "$maker_title" ADVSET.Combo1 "Z:${bmp//\//\\}") &&
    picture=$(to_screen "$picture") && read -r px py _ _ <<<"$picture" &&
    convert "$artifacts/$file" \( "bmp:$bmp" -alpha off \) -geometry "+$((px - x))+$((py - y))" \
      -composite "png:$artifacts/$file"; then
    ok "$case_name: the list pictures itself into $file"
  else
    not_ok "$case_name: the list pictures itself into $file" "$(driver_error)"
  fi
  # A list that paints nothing leaves its picture black.
  local lx ly lw lh bright
  read -r lx ly lw lh <<<"$list"
  bright=$(convert "$artifacts/$file" -crop "${lw}x${lh}+$((lx - x))+$((ly - y))" +repage \
    -colorspace Gray -format '%[fx:mean]' info: 2>/dev/null)
  if awk -v b="${bright:-0}" 'BEGIN { exit !(b > 0.5) }'; then
    ok "$case_name: the picture shows the list painted (mean brightness $bright)"
  else
    not_ok "$case_name: the picture shows the list painted" \
      "the list's ${lw}x$lh px in $file have a mean brightness of ${bright:-?} (black is 0)"
  fi
  local list_top field_y field_h
  read -r _ list_top _ _ <<<"$list"
  read -r _ field_y _ field_h <<<"$field"
  local where="on the screen: list $list, Combo1 $field, maker window $maker (X Y W H)"
  if ((list_top >= field_y + field_h)); then
    ok "$case_name: the list opens below Combo1's field"
  else
    not_ok "$case_name: the list opens below Combo1's field, leaving it in sight" "$where"
  fi
  if inside "$list" "$maker"; then
    ok "$case_name: the list ends within the maker window"
  else
    not_ok "$case_name: the list ends within the maker window" "$where"
  fi
  local fit widest index list_w list_h row count
  if fit=$(drv combo-fit "$maker_title" ADVSET.Combo1) &&
    read -r _ widest index _ list_w list_h _ row _ count <<<"$fit" && [[ -n ${count:-} ]]; then
    if ((widest + 2 <= list_w)); then
      ok "$case_name: the list is wide enough for every model name ($widest px in $list_w px)"
    else
      not_ok "$case_name: the list is wide enough for every model name" \
        "\"${models[index]}\" needs $widest px; the list's client area is $list_w px wide" \
        "(${list_w}x$list_h px, rows of $row px, $count entries)"
    fi
  else
    not_ok "$case_name: the list's entries are measured" "$(driver_error)"
  fi
  drv combo-drop "$maker_title" ADVSET.Combo1 hide ||
    { not_ok "$case_name: the model list closes again" "$(driver_error)"; return 1; }
}

# 進階 → 設定值, 自動尋找 and 選擇型號: the steps both cases share. False when one failed.
find_models() {
  drv menu "$title" 進階/設定值 && drv wait-window "$maker_title" 10000 ||
    { give_up "$case_name: 進階 → 設定值 opens \"$maker_title\"" "$(driver_error)"; return 1; }
  ok "$case_name: 進階 → 設定值 opens \"$maker_title\""
  drv click "$maker_title" ADVSET.Command6 ||
    { give_up "$case_name: 自動尋找 is clicked" "$(driver_error)"; return 1; }
  check_text "$case_name: 自動尋找 puts the INF's name into ADVSET.Text4" \
    "$maker_title" ADVSET.Text4 "$inf_name"
  drv click "$maker_title" ADVSET.find_INI ||
    { give_up "$case_name: 選擇型號 is clicked" "$(driver_error)"; return 1; }
  check_model_list "$case_name: 選擇型號 lists the INF's ${#models[@]} models in ADVSET.Combo1, in file order"
  check_text "$case_name: ADVSET.Text3 shows the first model" "$maker_title" ADVSET.Text3 "$first_model"
  check_text "$case_name: ADVSET.Text2 takes the first model as the printer name" \
    "$maker_title" ADVSET.Text2 "$first_model"
}

# --- the cases ------------------------------------------------------------------------------------

# The whole path at 96 DPI: find the INF, list its models, picture, save, then record.
case_models() {
  begin_case models || return
  find_models || return
  shot_dropped maker-models.png

  drv click "$maker_title" ADVSET.Command2 && drv wait-gone "$maker_title" 15000 ||
    { give_up "models: 確定 saves and closes the maker" "$(driver_error)"; return; }
  ok "models: 確定 saves and closes the maker"
  check_ini "models: ip.ini holds the first model as name and model and the INF's name (CP950, CR LF)" \
    "ip,127.0.0.2,$first_model,$first_model,$inf_name,100"
  check_text "models: Form1.Text2 shows the new name" "$title" Form1.Text2 "$first_model" 2

  # The recording: Wine's WMI lists no printer configurations, so no printer of that name exists.
  velmora_poll 5 main_enabled && drv menu "$title" 進階/設定值 &&
    drv wait-window "$maker_title" 10000 ||
    { give_up "models: 設定值 opens the maker again" "$(driver_error)"; return; }
  check_text "models: the reopened maker's ADVSET.Text2 shows the stored name" \
    "$maker_title" ADVSET.Text2 "$first_model"
  drv click "$maker_title" ADVSET.Command5 ||
    { give_up "models: 製作 is clicked" "$(driver_error)"; return; }
  drv --timeout=10000 msgbox-press 提示 yes ||
    { give_up "models: 製作 asks (提示) and Yes is pressed" "$(driver_error)"; return; }
  ok "models: 製作 asks (提示) and Yes is pressed"
  local told
  if told=$(drv --timeout=15000 msgbox-text 製作列印喜好設定); then
    check_equal "models: 製作 says it found no such printer (製作列印喜好設定)" "$told" \
      "製作失敗，找不到印表機 $first_model"
    drv msgbox-press 製作列印喜好設定 ok && drv wait-gone 製作列印喜好設定 10000 ||
      not_ok "models: the message closes with OK" "$(driver_error)"
  else
    not_ok "models: 製作 says it found no such printer (製作列印喜好設定)" "$(driver_error)"
    diagnose
  fi
  check_ini "models: ip.ini is unchanged by the failed recording" \
    "ip,127.0.0.2,$first_model,$first_model,$inf_name,100"
  end_case
}

# The same list at 144 DPI, for its picture.
case_models_144() {
  set_dpi_seen 144 models-144
  if begin_case models-144 && find_models; then
    shot_dropped maker-models-144dpi.png
    end_case
  fi
  velmora_set_dpi 96
}

# case_real_inf CASE CORPUS-NAME: a printer maker's own INF from the corpus; 選擇型號 lists the
# models Windows x64 reads in it, as worked out by hand beside it.
case_real_inf() {
  local corpus
  corpus=$(cd "$(dirname "${BASH_SOURCE[0]}")/../inf/corpus" && pwd)
  mapfile -t models <"$corpus/$2.amd64.txt"
  first_model=${models[0]}
  inf_source=$corpus/$2.inf
  if begin_case "$1" && find_models; then
    shot_dropped "maker-$1.png"
    end_case
  fi
}

# --- environment ----------------------------------------------------------------------------------

ports_free 127.0.0.2 631 || exit 1
cases_up

case_models
case_models_144
# UTF-16, a web address in the third section, models for x86 and x64, each listed twice.
case_real_inf real-inf pantum_p2500
# The longest model name of the corpus's makers, listed 37 times under two decorations.
case_real_inf long-model konica_universal

((failed == 0))
