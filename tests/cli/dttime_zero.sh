#!/usr/bin/env bash
# The chosen time (last-write or creation) and the year 0, which sets each
# item's chosen time to its own other time. What the library asks of
# SetFileTime is read from Wine's relay trace: a creation time that is written
# is not kept by Wine on a Linux file system. A last-write time written from
# the system's own report loses the nanoseconds below its 100 ns unit, which
# shows that it was written.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/dttime_lib.sh"

typed="2021 3 4 5 6 7 8"
old="2019 5 6 7 8 9 123"
# label | actions | SetFileTime calls (one per file) | time of each file | its nanoseconds
rows=(
  "typed, last-write|--time=$typed|--W --W|typed|008000000"
  "typed, creation|--time=$typed;--creation|C-- C--|old|123456789"
  "year 0, last-write takes the creation time|--time=_|--W --W|old|123456700"
  "year 0 typed as 0000, creation takes the last-write time|--time=0000;--creation|C-- C--|old|123456789"
  "creation, then back to last-write|--creation;--time=0;--last-write|--W --W|old|123456700"
  "cancelled|--time=_;--cancel||old|123456789"
)
for row in "${rows[@]}"; do
  IFS='|' read -r label actions calls expected nanoseconds <<<"$row"
  rm -rf "$work/z" && mkdir "$work/z" && echo a >"$work/z/a.txt" && echo b >"$work/z/b.txt"
  touch -d '2019-05-06 07:08:09.123456789' "$work/z/a.txt" "$work/z/b.txt"
  WINEDEBUG=+relay dttime "$work/r.txt" "$actions" "$work/z/a.txt" "$work/z/b.txt"
  expect "$label: calls" "$calls" "$(set_file_time_calls "$work/stderr")"
  for file in a b; do
    expect "$label: $file.txt" "${!expected}" "$(disk_time "$work/z/$file.txt")"
    expect "$label: $file.txt ns" "$nanoseconds" "$(disk_nanoseconds "$work/z/$file.txt")"
  done
done
rm -f "$work/stderr"
finish
