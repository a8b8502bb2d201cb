#!/usr/bin/env bash
# Options bit 0x20 as the host finds it: the name dialog toggles it when closed
# with CTRL held (OK or Cancel) or by a right-click on OK (once, also with CTRL
# held); CgName toggles it again after a rename to a plain name when bit 0x1000
# is set. The two toggles add up. A cancel returns 0 with messageBuffer as the
# dialog left it. Holds real keys: runs alone.
source "$(dirname "$0")/cgname_lib.sh"

# label | options in | flag | actions | result | options after | item afterwards
rows=(
  "plain-name|0x0|rename|--name b.txt|1|0x00000000|b.txt"
  "plain-name-0x1000|0x1000|rename|--name b.txt|1|0x00001020|b.txt"
  "right-click|0x0|rename|--name b.txt --rclick-ok|1|0x00000020|b.txt"
  "right-click-0x1000|0x1000|rename|--name b.txt --rclick-ok|1|0x00001000|b.txt"
  "right-click-sub-0x1000|0x1000|rename|--name s\\b.txt --rclick-ok|1|0x00001020|s/b.txt"
  "ctrl-ok|0x0|rename|--name b.txt --hold CTRL --ok|1|0x00000020|b.txt"
  "ctrl-ok-0x1000|0x1000|rename|--name b.txt --hold CTRL --ok|1|0x00001000|b.txt"
  "ctrl-right-click|0x0|rename|--name b.txt --hold CTRL --rclick-ok|1|0x00000020|b.txt"
  "cancel|0x1000|rename|--name b.txt --cancel|0|0x00001000|a.txt"
  "ctrl-cancel|0x1000|rename|--name b.txt --hold CTRL --cancel|0|0x00001020|a.txt"
  "create-0x1000|0x1000|create|--name b.txt|1|0x00001000|b.txt"
  "create-right-click|0x1000|create|--name b.txt --rclick-ok|1|0x00001020|b.txt"
)

for row in "${rows[@]}"; do
  IFS='|' read -r label options flag actions result after item <<<"$row"
  folder=$work/$label
  base=$(windows_form "$folder")
  make_items "$folder" a.txt
  report=$work/$label.report
  read -r -a action_list <<<"$actions"
  if [ "$flag" = create ]; then
    tavimore CgName --create --options "$options" "${action_list[@]}" --report "$report" "$base"
    expect_file "$label: file made" "$folder/$item" ""
  else
    tavimore CgName --options "$options" "${action_list[@]}" --report "$report" "$base\\a.txt"
    expect_file "$label: item" "$folder/$item" a.txt
  fi
  expect_report "$label" "$report" result "0x0000000$result"
  expect_report "$label" "$report" options "$after"
  if [ "$result" = 1 ]; then expect_report "$label" "$report" messageBuffer "$base\\$(win "$item")"
  else expect_report "$label" "$report" messageBuffer "$base\\a.txt"; fi
  expect_no_line "$label" "$report" refused
done

finish
