#!/usr/bin/env bash
# Failures after OK: one standard box with the path and the wording of what
# failed (" は\r\n作成出来ません。" for a folder or a file that cannot be made,
# " に\r\n変更出来ません。" for a rename), result 1 all the same, the parent of
# the failed path left in messageBuffer, the item where it was.
source "$(dirname "$0")/cgname_lib.sh"

made=' は\r\n作成出来ません。'
renamed=' に\r\n変更出来ません。'
# label | flag | items | selected | typed | failed path | wording | messageBuffer | options after
rows=(
  "rename-onto-existing-file-above|rename|dir/a.txt b.txt|dir/a.txt|..b.txt|b.txt|$renamed||0x00001000"
  "rename-onto-existing-folder|rename|dir/a.txt dir/sub/|dir/a.txt|sub|dir/sub|$renamed|dir|0x00001020"
  "rename-missing-item|rename|dir/|dir/gone.txt|b.txt|dir/b.txt|$renamed|dir|0x00001020"
  "rename-folder-blocked-by-file|rename|dir/a.txt dir/f|dir/a.txt|f\\b.txt|dir/f|$made|dir|0x00001000"
  "create-existing-folder|create|dir/sub/|dir|sub|dir/sub|$made|dir|0x00001000"
  "create-folder-blocked-by-file|create|dir/f|dir|f\\g\\x|dir/f|$made|dir|0x00001000"
)

for row in "${rows[@]}"; do
  IFS='|' read -r label flag items selected typed failed wording after options <<<"$row"
  folder=$work/$label
  base=$(windows_form "$folder")
  read -r -a item_list <<<"$items"
  make_items "$folder" "${item_list[@]}"
  report=$work/$label.report
  create=()
  [ "$flag" = create ] && create=(--create)
  before=$(cd "$folder" && find . | sort)
  tavimore CgName "${create[@]}" --options 0x1000 --name "$typed" --report "$report" "$base\\$(win "$selected")"
  expect "$label: exit status" 0 "$status"
  expect_report "$label" "$report" result 0x00000001
  expect_report "$label" "$report" box " Tavimore | $base\\$(win "$failed")$wording"
  expect "$label: one box" 1 "$(grep -c '^box: ' "$report")"
  expect_report "$label" "$report" messageBuffer "$base${after:+\\$(win "$after")}"
  expect_report "$label" "$report" options "$options"
  expect "$label: nothing moved or made" "$before" "$(cd "$folder" && find . | sort)"
done

finish
