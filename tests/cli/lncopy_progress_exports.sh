#!/usr/bin/env bash
# The progress window after a run: the log export in its four forms (and a
# second export, which only selects), through ./tavimore LnCopy; then its
# layout when the window is resized.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/lncopy_progress_lib.sh"

src=$work/src
mkdir -p "$src/d"
printf 'a\n' >"$src/a.txt"
printf 'c\n' >"$src/d/c.txt"
printf 'memo\n' >"$src/メモ.txt"
selection=("$src/a.txt" "$src/d" "$src/メモ.txt")

# name | actions | exported form (list, status or -) | menu lines
rows=(
  "rclick-list|--rclick-export list|list|& コピー enabled of 1"
  "rclick-status|--rclick-export status|status|& コピー enabled of 1"
  "dblclick-list|--export list|list|"
  "dblclick-status|--export status|status|"
  "again-dblclick|--rclick-export status --export list|status|& コピー enabled of 1"
  "again-rclick|--export status --rclick-export list|status|& コピー grayed of 1"
)
for row in "${rows[@]}"; do
  IFS='|' read -r name actions form menu <<<"$row"
  dst=$work/dst-$name
  mkdir -p "$dst"
  d=$(windows_form "$dst")
  # shellcheck disable=SC2086
  copy_run "$name" --dest "$dst" $actions "${selection[@]}"
  lines="→$d\\a.txt\\r\\n●$d\\d\\r\\n→$d\\d\\c.txt\\r\\n→$d\\メモ.txt"
  status_text='作成フォルダー   1 /  1\r\nコピーファイル    3 /  3\r\nエラー: 0 '
  expected=$lines
  [ "$form" = status ] && expected="$status_text\\r\\n$lines"
  expect "$name: exit status" 0 "$status"
  expect "$name: exported log" "$expected" "$(report_value "$work/$name.report" exported)"
  expect "$name: the same text on stdout, CR LF after each line" "$expected\\r\\n" "$(stdout_line "$name")"
  expect "$name: block sized exactly (text and NUL)" "$(($(stat -c %s "$work/$name.raw") + 1)) bytes" \
    "$(report_value "$work/$name.report" exportedBlock)"
  expect "$name: on the clipboard as text" 1 "$(report_value "$work/$name.report" clipboard)"
  expect "$name: menu" "$menu" "$(report_all "$name" menu)"
  exports=$(grep -o -- '--[a-z-]*export' <<<"$actions" | wc -l)
  expect "$name: every line selected after each export" "$(yes 4/4 | head -n "$exports" | paste -sd ';' | sed 's/;/ ; /g')" \
    "$(report_all "$name" selected)"
  expect "$name: options untouched" 0x00000000 "$(report_value "$work/$name.report" options)"
done

# An empty result list (everything up to date): the menu item is greyed, a
# double-click exports nothing, LnCopy returns its mode bits.
dst=$work/dst-empty
mkdir -p "$dst"
copy_run empty-first --dest "$dst" "${selection[@]}"
copy_run empty --dest "$dst" --rclick-export list --export list "${selection[@]}"
expect "empty: menu greyed" "& コピー grayed of 1" "$(report_all empty menu)"
expect "empty: nothing exported" "" "$(report_all empty exported)"
expect "empty: no clipboard" none "$(report_value "$work/empty.report" clipboard)"
expect "empty: nothing on stdout" 0 "$(stat -c %s "$work/empty.out")"

# Resizing after the run: the list keeps its margins on the left, the right
# and the bottom of the new client area, the button's right edge follows it,
# the status text stays. (The list is laid out at the first resize: before it,
# its size is the template's, which may differ from the margins' by a rounding.)
for delta in "50,0" "50,20" "-40,-10"; do
  name=resize${delta/,/_}
  dst=$work/dst-$name
  mkdir -p "$dst"
  copy_run "$name" --dest "$dst" --resize "$delta" "$src/a.txt"
  IFS=',' read -r dx dy <<<"$delta"
  mapfile -t layouts < <(sed -n 's/^layout: //p' "$work/$name.report")
  expect "$name: two layout lines" 2 "${#layouts[@]}"
  # "list=L,T,W,H button=L,T,W,H status=L,T,W,H client=W,H": fourteen numbers
  read -r l0 t0 w0 h0 bx0 by0 bw0 bh0 sx0 sy0 sw0 sh0 cw0 ch0 <<<"$(tr -c '0-9\n-' ' ' <<<"${layouts[0]}")"
  read -r l1 t1 w1 h1 bx1 by1 bw1 bh1 sx1 sy1 sw1 sh1 cw1 ch1 <<<"$(tr -c '0-9\n-' ' ' <<<"${layouts[1]}")"
  expect "$name: client area resized" "$((cw0 + dx)),$((ch0 + dy))" "$cw1,$ch1"
  expect "$name: list position" "$l0,$t0" "$l1,$t1"
  expect "$name: list size keeps the margins" "$((cw1 - 2 * l1)),$((ch1 - t1 - l1))" "$w1,$h1"
  expect "$name: button's right edge on the list's" "$((cw1 - l1 - bw0)),$by0,$bw0,$bh0" "$bx1,$by1,$bw1,$bh1"
  expect "$name: status text stays" "$sx0,$sy0,$sw0,$sh0" "$sx1,$sy1,$sw1,$sh1"
done

finish
