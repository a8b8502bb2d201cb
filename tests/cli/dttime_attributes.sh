#!/usr/bin/env bash
# Attributes around the change: a read-only or hidden file gets the time and
# keeps its attributes; a file another program holds open without sharing
# keeps its time, without a message, while the other items get theirs.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/dttime_lib.sh"

typed="2021 3 4 5 6 7 8"
old="2020 1 2 3 4 5 0"
# label | attributes set first (hex) | attribute bit that must show before and after | held open | time
rows=(
  "read-only|1|1|no|typed"
  "hidden|2|2|no|typed"
  "hidden and read-only|3|3|no|typed"
  "held open without sharing|0|0|yes|old"
)
for row in "${rows[@]}"; do
  IFS='|' read -r label attributes bit held expected <<<"$row"
  rm -rf "$work/a" && mkdir "$work/a" && echo f >"$work/a/f.txt" && echo g >"$work/a/g.txt"
  touch -d '2020-01-02 03:04:05' "$work/a/f.txt" "$work/a/g.txt"
  file=$(windows_form "$work/a/f.txt")
  wtool attr "$file" "$attributes"
  before=$(wtool getattr "$file")
  expect "$label: attributes kept by Wine before the run" "$bit" "$(( 0x${before:-0} & 0x$bit ))"
  holder=
  if [ "$held" = yes ]; then
    wtool hold "$file" "$(windows_form "$work/ready")" "$(windows_form "$work/stop")" &
    holder=$!
    for _ in $(seq 300); do [ -e "$work/ready" ] && break; sleep 0.1; done
    expect "$label: the file is held" yes "$([ -e "$work/ready" ] && echo yes)"
  fi
  dttime "$work/r.txt" "--time=$typed" "$work/a/f.txt" "$work/a/g.txt"
  if [ -n "$holder" ]; then touch "$work/stop"; wait "$holder"; rm -f "$work/ready" "$work/stop"; fi
  expect "$label: exit" 0 "$status"
  expect "$label: no message" "" "$(report_value "$work/r.txt" box)"
  expect "$label: attributes after" "$before" "$(wtool getattr "$file")"
  expect "$label: f.txt" "${!expected}" "$(disk_time "$work/a/f.txt")"
  expect "$label: g.txt" "$typed" "$(disk_time "$work/a/g.txt")"
  wtool attr "$file" 0
done
finish
