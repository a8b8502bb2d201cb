#!/usr/bin/env bash
# A run stopped half way through ./tavimore LnCopy, by a close request posted
# to the progress window, by Windows' end-of-session query sent to it, by ESC
# really pressed or by the run's time limit, loses no file and leaves none
# half written: every source file is still at the source or whole at the
# destination, every file at the destination is whole, and the run did stop
# early. A close request, and the end-of-session query (answered TRUE, so the
# session may end), end with the window destroyed, no outcome shown; the time
# limit cancels the copy, closes the window with its "&OK" and says so on
# stderr (exit 7).
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/lncopy_progress_lib.sh"

# name | actions | how the window closed | outcome icon | files (the progress
# window takes about 15 ms a file on Wine) | exit status | the query's answer
rows=(
  "close-copy|--close-after 3|by the close request|window gone|40|0"
  "close-move|--toggle 8111 --close-after 3|by the close request|window gone|40|0"
  "end-session-copy|--end-session-after 3|by the end-of-session query|window gone|40|0|answered TRUE"
  "end-session-move|--toggle 8111 --end-session-after 3|by the end-of-session query|window gone|40|0|answered TRUE"
  "esc-move|--toggle 8111 --esc-after 3|button|hand|40|0"
  "time-limit|--limit 1|button|hand|400|7"
)
for row in "${rows[@]}"; do
  IFS='|' read -r name actions closed icon files exit_status answer <<<"$row"
  src=$work/src-$name/many
  dst=$work/dst-$name
  make_files "$src" "$files"
  mkdir -p "$dst"
  # shellcheck disable=SC2086
  copy_run "$name" --dest "$dst" $actions "$src"
  expect "$name: exit status" "$exit_status" "$status"
  expect "$name: window closed" "$closed" "$(report_value "$work/$name.report" closed)"
  expect "$name: outcome" "$icon" "$(report_value "$work/$name.report" icon)"
  expect "$name: nothing exported" "" "$(report_value "$work/$name.report" exported)"
  limit_line=
  [ "$exit_status" = 7 ] && limit_line="tavihost: the run's time limit (--limit 1) was reached: the copy was cancelled"
  expect "$name: the limit on stderr" "$limit_line" "$(grep '^tavihost: ' "$work/$name.err")"
  lost=0 arrived=0
  for i in $(seq -w 1 "$files"); do
    [ -f "$dst/n$i.txt" ] && [ "$(cat "$dst/n$i.txt")" = "file $i" ] && arrived=$((arrived + 1)) && continue
    [ -f "$src/n$i.txt" ] && [ "$(cat "$src/n$i.txt")" = "file $i" ] && continue
    lost=$((lost + 1))
  done
  expect "$name: files lost" 0 "$lost"
  partial=0
  for file in "$dst"/*; do
    [ -e "$file" ] || continue
    i=${file##*/n}
    [ "$(cat "$file")" = "file ${i%.txt}" ] || partial=$((partial + 1))
  done
  expect "$name: files half written at the destination" 0 "$partial"
  expect "$name: the end-of-session query's answer" "$answer" "$(report_value "$work/$name.report" endsession | sed 's/^[0-9]* lines, //')"
  checks=$((checks + 1))
  [ "$arrived" -ge 2 ] && [ "$arrived" -lt $((files / 2)) ] || fail "$name: $arrived of $files files arrived after an early stop"
  expect "$name: the source folder stays" yes "$([ -d "$src" ] && echo yes)"
done

finish
