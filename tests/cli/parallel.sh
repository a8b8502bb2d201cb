#!/usr/bin/env bash
# Eight ./tavimore runs started at once without a display, as from a plain
# shell or CI: each starts its own X server while all share one Wine prefix, so
# they must take turns. Every run must exit 0 and print its own file's text
# and nothing else.
source "$(dirname "$0")/lib.sh"

if [ -z "${TAVIMORE_BUILD:-}" ]; then
  TAVIMORE_BUILD=$root/build
  [ "$(cmake/wine-arch)" = win64 ] && TAVIMORE_BUILD=$root/build64
fi
# A prefix of its own: the suite's prefix has its wineserver and desktop on the
# suite's X server, which no run with an X server of its own can join.
export WINEPREFIX=$TAVIMORE_BUILD/wineprefix-nodisplay
unset DISPLAY

runs=8
for i in $(seq $runs); do
  printf 'run %d: 並行して動く %d 番目のファイルです。\n' "$i" "$i" >"$work/f$i.txt"
done
for i in $(seq $runs); do
  ( timeout 600 ./tavimore AsText "$work/f$i.txt" >"$work/o$i" 2>"$work/e$i"; echo $? >"$work/s$i" ) &
done
wait

for i in $(seq $runs); do
  expect "run $i: exit status" 0 "$(cat "$work/s$i")"
  expect_same_bytes "run $i: stdout is its own file's text" "$work/f$i.txt" "$work/o$i"
  expect "run $i: nothing on stderr" "" "$(cat "$work/e$i")"
done

finish
