#!/usr/bin/env bash
# One selected folder: its own time, or with "直下" the files directly inside
# it (not the folder, not its sub-folders nor what they hold), also when its
# name ends in a double-byte character whose second byte is 0x5C ("表" is
# 95 5C); and the join of folder and entry name at the length limit of a path.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/dttime_lib.sh"

typed="2021 3 4 5 6 7 8"
old="2020 1 2 3 4 5 0"
items=("" f1.txt f2.txt sub sub/x.txt)  # "" is the folder itself
# label | folder | options | actions | options after | messageBuffer | time of each item (as items)
rows=(
  "directly inside|F|0|--time=$typed;--inside|0x00000000|folder|old typed typed old old"
  "the box clicked twice: the folder's own time|F|0|--time=$typed;--inside;--inside|0x00000020||typed old old old old"
  "the folder's own time, OK by right-click: two toggles|F|0|--time=$typed;--rclick-ok|0x00000000|folder|typed old old old old"
  "directly inside with 0x1000|F|1000|--time=$typed;--inside|0x00001020||old typed typed old old"
  "directly inside, year 0|F|0|--time=_;--inside|0x00000000|folder|old old old old old"
  "directly inside a folder ending in a 0x5C trail byte|表|0|--time=$typed;--inside|0x00000000|folder|old typed typed old old"
)
for row in "${rows[@]}"; do
  IFS='|' read -r label name options actions options_after message times <<<"$row"
  folder=$work/$name
  rm -rf "$folder" && mkdir -p "$folder/sub"
  for item in "${items[@]:1}"; do [ -d "$folder/$item" ] || echo x >"$folder/$item"; done
  for item in "${items[@]}"; do touch -d '2020-01-02 03:04:05' "$folder/$item"; done
  dttime "$work/r.txt" "$actions" --options "$options" "$folder"
  expect "$label: exit" 0 "$status"
  expect "$label: the box was shown" "" "$(report_value "$work/r.txt" script)"
  expect "$label: options" "$options_after" "$(report_value "$work/r.txt" options)"
  [ "$message" = folder ] && message=$(windows_form "$folder")
  expect "$label: messageBuffer" "$message" "$(report_value "$work/r.txt" messageBuffer)"
  read -r -a expected <<<"$times"
  for i in "${!items[@]}"; do
    expect "$label: ${items[i]:-the folder}" "${!expected[i]}" "$(disk_time "$folder/${items[i]}")"
  done
done

# A folder whose Windows path is N bytes long: entries whose path is at most
# 259 bytes get the time; longer ones cannot be reached and are left alone.
# folder length | entry names | time of each entry
limits=(
  "250|a2345678 a23456789|typed old"
  "257|x|typed"
  "258|y|old"
)
for row in "${limits[@]}"; do
  IFS='|' read -r length names times <<<"$row"
  base=$work/L
  rm -rf "$base" && mkdir -p "$base"
  long=$base/$(printf 'd%.0s' $(seq $((length - 2 - ${#base} - 1))))
  mkdir -p "$long"
  expect "folder of $length bytes: its length" "$length" "$(windows_form "$long" | wc -c)"
  for name in $names; do echo x >"$long/$name" && touch -d '2020-01-02 03:04:05' "$long/$name"; done
  dttime "$work/r.txt" "--time=$typed;--inside" "$long"
  expect "folder of $length bytes: exit" 0 "$status"
  read -r -a expected <<<"$times"
  i=0
  for name in $names; do
    expect "folder of $length bytes: $name" "${!expected[i]}" "$(disk_time "$long/$name")"
    i=$((i + 1))
  done
done
finish
