#!/usr/bin/env bash
# The progress window through ./tavimore LnCopy: how a clean run, a run with
# errors, a run cancelled by ESC (really pressed) or by the ESC button, and a
# move end (title, icon, status wording and closing sentence, read back by
# exporting the status);
# then the closing of the window and the toggle of options bit 0x20.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/lncopy_progress_lib.sh"

src=$work/src
mkdir -p "$src/sub"
printf 'a\n' >"$src/a.txt"
printf 'b\n' >"$src/sub/b.txt"
make_files "$src/many" 40
mkdir -p "$work/moved" && printf 'm\n' >"$work/moved/m.txt"
copy_title=' コピーしています'
move_title=' 移動 しています'
counts_clean='作成フォルダー   0 /  0\r\nコピーファイル    1 /  1'

# name | actions | selection | title | icon | status text up to its closing sentence | log lines
rows=(
  "clean||a.txt|$copy_title|asterisk|$counts_clean\\r\\nエラー: 0 |→D\\a.txt"
  "errors||a.txt sub missing.txt|$copy_title|exclamation|作成フォルダー   0 /  1\\r\\nコピーファイル    1 /  1\\r\\nエラー: 2   エラー が有りました。|→D\\a.txt\\r\\n×D\\sub"
  "move|--toggle 8111|m.txt|$move_title|asterisk|作成フォルダー   0 /  0\\r\\n 移動 ファイル    1 /  1\\r\\nエラー: 0 |→D\\m.txt"
  "cancelled|--esc-after 3|many|$copy_title|hand|*エラー: 0 キャンセル されました。|*"
  "button-cancel|--click-after 3|many|$copy_title|hand|*エラー: 0 キャンセル されました。|*"
)
for row in "${rows[@]}"; do
  IFS='|' read -r name actions items title icon status_text lines <<<"$row"
  dst=$work/dst-$name
  mkdir -p "$dst"
  printf 'a file where the folder would go\n' >"$dst/sub"
  d=$(windows_form "$dst")
  selection=()
  for item in $items; do [ "$item" = m.txt ] && selection+=("$work/moved/m.txt") || selection+=("$src/$item"); done
  # shellcheck disable=SC2086
  copy_run "$name" --dest "$dst" $actions --export status "${selection[@]}"
  exported=$(report_value "$work/$name.report" exported)
  expect "$name: title" "$title" "$(sed -n 's/^title: //p' "$work/$name.report" | tail -n 1)"
  expect "$name: outcome icon" "$icon" "$(report_value "$work/$name.report" icon)"
  expect "$name: closed by its button after the run" button "$(report_value "$work/$name.report" closed)"
  if [ "$lines" = "*" ]; then
    # Cancelled after the third line: the status's third line ends the run's
    # text; far fewer lines than the 40 of the whole run.
    status_part=${exported%%\\r\\n→*}
    status_part=${status_part%%\\r\\n●*}
    expect "$name: closing sentence" "${status_text#\*}" "${status_part##*\\r\\n}"
    shown=$(grep -o '\\r\\n[→●]' <<<"$exported" | wc -l)
    checks=$((checks + 1))
    [ "$shown" -lt 20 ] || fail "$name: $shown of 40 log lines after a cancel at 3"
    esc_at=$(report_value "$work/$name.report" cancel)
    esc_at=${esc_at%%,*}
    checks=$((checks + 1))
    # The key is read between files, and a few more files may be done before
    # the run sees it (6 lines after ESC at 3 were seen on Wine).
    [ "${esc_at% lines}" -ge 3 ] 2>/dev/null && [ "$shown" -ge "${esc_at% lines}" ] ||
      fail "$name: cancelled at [$esc_at], $shown lines in the end"
  else
    expect "$name: status text and log" "$status_text\\r\\n${lines//D\\/"$d"\\}" "$exported"
  fi
  # The final status on stderr as one line, its line breaks as spaces, and
  # nothing else there.
  final_status=$status_text
  [ "$lines" = "*" ] && final_status=$status_part
  expect "$name: stderr" "Tavimore: ${final_status//\\r\\n/ }" "$(cat "$work/$name.err")"
  # Nothing cut: the browser's labels, then every line of the final status text.
  expect "$name: cut texts" "none ; none" "$(report_all "$name" cut)"
done
expect "move: the source is gone" "" "$(ls "$work/moved")"
expect "move: the file is at the destination" m "$(cat "$work/dst-move/m.txt")"

# options word | actions | options after | how the window closed
rows=(
  "0|--keys 0|0x00000000|button"
  "0|--rclick-button|0x00000020|right-click on the button"
  "20|--rclick-button|0x00000000|right-click on the button"
  "0|--keys 0 --wait-end --hold CTRL|0x00000020|button"
  "60|--keys 0 --wait-end --hold CTRL|0x00000040|button"
  "0|--keys 0 --wait-end --hold CTRL --rclick-button|0x00000020|right-click on the button"
)
n=0
for row in "${rows[@]}"; do
  IFS='|' read -r options actions after closed <<<"$row"
  name=toggle$((n += 1))
  mkdir -p "$work/dst-$name"
  # --keys 0: the browser's OK reads no keys. --wait-end, a progress window
  # action, puts the --hold behind it at that window's ending or right-click.
  # shellcheck disable=SC2086
  copy_run "$name" --options "$options" --dest "$work/dst-$name" $actions "$src/a.txt"
  expect "$name ($actions): options" "$after" "$(report_value "$work/$name.report" options)"
  expect "$name ($actions): closed" "$closed" "$(report_value "$work/$name.report" closed)"
  expect "$name ($actions): copied" a "$(cat "$work/dst-$name/a.txt")"
done

# A --hold before a progress window's action holds its keys during that
# action (the ESC), not at the browser's OK, where CTRL would toggle 0x20.
mkdir -p "$work/many" "$work/dst-held"
for i in $(seq 1 40); do echo "$i" >"$work/many/f$i.txt"; done
copy_run held-esc --dest "$work/dst-held" --hold CTRL --esc-after 1 "$work/many"
expect "held-esc: exit status" 0 "$status"
expect "held-esc: options" 0x00000000 "$(report_value "$work/held-esc.report" options)"
expect "held-esc: cancelled by the ESC key" "ESC key" "$(report_value "$work/held-esc.report" cancel | sed 's/^[0-9]* lines, //')"
expect "held-esc: closed" button "$(report_value "$work/held-esc.report" closed)"

finish
