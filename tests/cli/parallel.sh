#!/usr/bin/env bash
# Nine ./tavimore runs started at once without a display, as from a plain
# shell or CI: each starts its own X server while all share one Wine prefix, so
# they must take turns. Every run must exit 0, print its own file's text (or
# nothing, for the rename) and nothing else.
source "$(dirname "$0")/lib.sh"

if [ -z "${TAVIMORE_BUILD:-}" ]; then
  TAVIMORE_BUILD=$root/build
  [ "$(cmake/wine-arch)" = win64 ] && TAVIMORE_BUILD=$root/build64
fi
# A prefix of its own: the suite's prefix has its wineserver and desktop on the
# suite's X server, which no run with an X server of its own can join.
export WINEPREFIX=$TAVIMORE_BUILD/wineprefix-nodisplay
unset DISPLAY

# Runs 5 to 9 keep their temporary files (the host's start mark among them) in
# a folder whose Windows form is longer than 260 bytes: each is still run
# exactly once. Run 9 renames its file (nothing on stdout).
deep=$work/$(printf 'd%.0s' $(seq 200))/$(printf 'e%.0s' $(seq 100))
mkdir -p "$deep"
runs=9
for i in $(seq $runs); do
  printf 'run %d: 並行して動く %d 番目のファイルです。\n' "$i" "$i" >"$work/f$i.txt"
done
for i in $(seq $runs); do
  (
    [ "$i" -ge 5 ] && export TMPDIR=$deep
    if [ "$i" -eq 9 ]; then set -- CgName --name renamed.txt; else set -- AsText; fi
    timeout 600 ./tavimore "$@" "$work/f$i.txt" >"$work/o$i" 2>"$work/e$i"
    echo $? >"$work/s$i"
  ) &
done
wait

for i in $(seq $runs); do
  expect "run $i: exit status" 0 "$(cat "$work/s$i")"
  if [ "$i" -eq 9 ]; then
    expect "run $i: stdout" "" "$(cat "$work/o$i")"
    expect_same_bytes "run $i: renamed once" <(printf 'run 9: 並行して動く 9 番目のファイルです。\n') "$work/renamed.txt"
  else
    expect_same_bytes "run $i: stdout is its own file's text" "$work/f$i.txt" "$work/o$i"
  fi
  expect "run $i: nothing on stderr" "" "$(cat "$work/e$i")"
done

finish
