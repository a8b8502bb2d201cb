#!/usr/bin/env bash
# Names refused at OK never reach the file system: the focus stays on the name
# field (1005) with the offending text selected, the scripted user cancels, the
# result is 0 and the item is where it was. messageBuffer holds what the check
# read back into it: the folder part and the text as typed.
source "$(dirname "$0")/cgname_lib.sh"

# label | typed ("-" = leave the proposed name) | ending | refused line
rows=(
  "empty||--ok|1005 0-0"
  "bar|a|b|--ok|1005 1-2"
  "colon|x:y|--ok|1005 1-2"
  "slash|x/y|--ok|1005 1-2"
  "quote|x\"y|--ok|1005 1-2"
  "existing-file|c.txt|--ok|1005 0-5"
  "other-letter-case|C.TXT|--ok|1005 0-5"
  "unchanged|-|--ok|1005 0-5"
  "after-double-byte|表|x|--ok|1005 2-3"
  "in-sub-path|sub\\x*y|--ok|1005 5-6"
  "by-right-click|a?b|--rclick-ok|1005 1-2"
)

folder=$work/items
base=$(windows_form "$folder")
make_items "$folder" dir/a.txt dir/c.txt dir/sub/
for row in "${rows[@]}"; do
  label=${row%%|*}
  rest=${row#*|}
  refused=${rest##*|}
  rest=${rest%|*}
  ending=${rest##*|}
  typed=${rest%|*}
  report=$work/$label.report
  actions=()
  [ "$typed" != - ] && actions=(--name "$typed")
  tavimore CgName "${actions[@]}" "$ending" --report "$report" "$base\\dir\\a.txt"
  shown=$typed
  [ "$typed" = - ] && shown=a.txt
  expect "$label: exit status" 1 "$status"
  expect_report "$label" "$report" result 0x00000000
  expect_report "$label" "$report" refused "$refused"
  expect_report "$label" "$report" messageBuffer "$base\\dir\\$shown"
  expect_report "$label" "$report" options 0x00000000
  expect_no_line "$label" "$report" box
  expect_file "$label: item stays" "$folder/dir/a.txt" dir/a.txt
  expect "$label: nothing else made" "a.txt c.txt sub" "$(ls "$folder/dir" | tr '\n' ' ' | sed 's/ $//')"
done

finish
