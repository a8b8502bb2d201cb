#!/usr/bin/env bash
# A run stopped half way through ./tavimore LnCopy, by a close request posted
# to the progress window or by ESC really pressed, loses no file: every source
# file is still at the source or whole at the destination, and the run did
# stop early. A close request ends with the window destroyed, no outcome shown.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/lncopy_progress_lib.sh"

# name | actions | how the window closed | outcome icon
rows=(
  "close-copy|--close-after 3|by the close request|window gone"
  "close-move|--toggle 8111 --close-after 3|by the close request|window gone"
  "esc-move|--toggle 8111 --esc-after 3|button|hand"
)
for row in "${rows[@]}"; do
  IFS='|' read -r name actions closed icon <<<"$row"
  src=$work/src-$name/many
  dst=$work/dst-$name
  make_files "$src" 40
  mkdir -p "$dst"
  # shellcheck disable=SC2086
  copy_run "$name" --dest "$dst" $actions "$src"
  expect "$name: window closed" "$closed" "$(report_value "$work/$name.report" closed)"
  expect "$name: outcome" "$icon" "$(report_value "$work/$name.report" icon)"
  expect "$name: nothing exported" "" "$(report_value "$work/$name.report" exported)"
  lost=0 arrived=0
  for i in $(seq -w 1 40); do
    [ -f "$dst/n$i.txt" ] && [ "$(cat "$dst/n$i.txt")" = "file $i" ] && arrived=$((arrived + 1)) && continue
    [ -f "$src/n$i.txt" ] && [ "$(cat "$src/n$i.txt")" = "file $i" ] && continue
    lost=$((lost + 1))
  done
  expect "$name: files lost" 0 "$lost"
  checks=$((checks + 1))
  [ "$arrived" -ge 2 ] && [ "$arrived" -lt 20 ] || fail "$name: $arrived of 40 files arrived after a stop at 3 lines"
  expect "$name: the source folder stays" yes "$([ -d "$src" ] && echo yes)"
done

finish
