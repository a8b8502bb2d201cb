#!/usr/bin/env bash
# DtTime with a typed local time: which items get it, the result, options bit
# 0x20 and messageBuffer as the host finds them. Holds CTRL (LOCKS keys).
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/dttime_lib.sh"

typed="2021 3 4 5 6 7 8"
old="2020 1 2 3 4 5 0"
# label | items | options | actions | exit | options after | messageBuffer | script line | time of each item
rows=(
  "a box not shown: cancelled|a.txt b.txt d|0|--time=$typed;--inside|6|0x00000000||not done: --inside: the dialog does not show the box|old"
  "several items, the host marking a folder: no box|d a.txt|0|--attributes=10;--time=$typed;--inside|6|0x00000000||not done: --inside: the dialog does not show the box|old"
  "several items, the host marking a folder: no folder toggle|d a.txt|0|--attributes=10;--time=$typed|0|0x00000000|first||typed"
  "folder's own time toggles 0x20|d|0|--time=$typed|0|0x00000020|||typed"
  "the toggle clears a set bit|d|20|--time=$typed|0|0x00000000|first||typed"
  "0x1000 toggles for a file|a.txt|1000|--time=$typed|0|0x00001020|||typed"
  "0x1000 and the folder rule toggle once|d|1000|--time=$typed|0|0x00001020|||typed"
  "right-click on OK toggles|a.txt|0|--time=$typed;--rclick-ok|0|0x00000020|||typed"
  "right-click on OK and 0x1000|a.txt|1000|--time=$typed;--rclick-ok|0|0x00001000|first||typed"
  "CTRL at a right-click on OK toggles once|a.txt|0|--time=$typed;--hold=CTRL;--rclick-ok|0|0x00000020|||typed"
  "CTRL at Cancel toggles too|a.txt|0|--time=$typed;--hold=CTRL;--cancel|1|0x00000020|||old"
  "cancel sets nothing|a.txt b.txt|0|--time=$typed;--cancel|1|0x00000000|||old"
)
for row in "${rows[@]}"; do
  IFS='|' read -r label items options actions exit_status options_after message script_line expected <<<"$row"
  rm -rf "$work/t" && mkdir -p "$work/t/d" && echo a >"$work/t/a.txt" && echo b >"$work/t/b.txt"
  touch -d '2020-01-02 03:04:05' "$work/t/a.txt" "$work/t/b.txt" "$work/t/d"
  paths=()
  for item in $items; do paths+=("$work/t/$item"); done
  dttime "$work/r.txt" "$actions" --options "$options" "${paths[@]}"
  expect "$label: exit" "$exit_status" "$status"
  expect "$label: options" "$options_after" "$(report_value "$work/r.txt" options)"
  [ "$message" = first ] && message=$(windows_form "${paths[0]}")
  expect "$label: messageBuffer" "$message" "$(report_value "$work/r.txt" messageBuffer)"
  expect "$label: script" "$script_line" "$(report_value "$work/r.txt" script)"
  expect "$label: fields" "$typed" "$(report_value "$work/r.txt" fields)"
  for path in "${paths[@]}"; do expect "$label: ${path##*/}" "${!expected}" "$(disk_time "$path")"; done
done
finish
