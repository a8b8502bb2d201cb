#!/usr/bin/env bash
# Every join into messageBuffer (260 bytes) at its limit. A folder of a chosen
# length L (its Windows form) holds the item; the target path may be 259 bytes:
#  - a typed or dropped name is refused at OK, whole text selected, when the
#    path would be longer, and nothing of it is written into messageBuffer;
#  - the "NewFile" proposal is cut to what fits; a folder with no room for
#    "\" and one character gets the creation failure box before any dialog;
#  - a name ending with "\" that leaves no room for the item's own name gets
#    the rename failure box with the folder's path, before any folder is made;
#  - a folder that cannot be made near the end of the path is reported whole.
source "$(dirname "$0")/cgname_lib.sh"

x18=xxxxxxxxxxxxxxxxxx   # 18 bytes
# label | L | command flag | item in the folder | actions | result | messageBuffer after (F = the folder) | box | file or folder made ("-" none)
rows=(
  "typed-fits|240|rename|a.txt|--name ${x18}|1|F\\${x18}||${x18}"
  "typed-one-too-long|240|rename|a.txt|--name ${x18}y|0|F\\a.txt||-"
  "dropped-one-too-long|240|rename|a.txt|--drop /dropped/${x18}y|0|F\\a.txt||-"
  "double-byte-one-too-long|240|rename|a.txt|--name 表表表表表表表表表x|0|F\\a.txt||-"
  "proposal-cut|252|create|-|--ok|1|F\\NewFil||NewFil"
  "proposal-one-byte|257|create|-|--ok|1|F\\N||N"
  "proposal-no-room|258|create|-||1|F|F は\\r\\n作成出来ません。|-"
  "own-name-fits|250|rename|abcd|--name sub\\|1|F\\sub\\abcd||sub/abcd"
  "own-name-no-room|250|rename|a.txt|--name sub\\|1|F\\sub|F\\sub\\ に\\r\\n変更出来ません。|-"
  "folder-fails-at-end|240|rename|a.txt|--name blocker\\xxxxxxxxxx|1|F|F\\blocker は\\r\\n作成出来ません。|-"
)

for row in "${rows[@]}"; do
  IFS='|' read -r label length flag item actions result after box made <<<"$row"
  folder=$(long_folder "$work/$label" "$length")
  base=$(windows_form "$folder")
  expect "$label: folder length" "$length" "$(printf '%s' "$base" | wc -c)"
  report=$work/$label.report
  read -r -a action_list <<<"$actions"
  if [ "$flag" = rename ]; then
    make_items "$folder" "$item"
    [ "$label" = folder-fails-at-end ] && make_items "$folder" blocker
    tavimore CgName "${action_list[@]}" --report "$report" "$base\\$item"
  else
    tavimore CgName --create "${action_list[@]}" --report "$report" "$base"
  fi
  expect_report "$label" "$report" result "0x0000000$result"
  expect_report "$label" "$report" messageBuffer "${after/F/$base}"
  if [ -n "$box" ]; then expect_report "$label" "$report" box " Tavimore | ${box/F/$base}"
  else expect_no_line "$label" "$report" box; fi
  case $label in
    # Wine's edit control reads selection positions as characters: the
    # 19 bytes of nine double-byte characters and an "x" are its whole 10.
    double-byte-one-too-long) expect_report "$label" "$report" refused "1005 0-10" ;;
    *one-too-long) expect_report "$label" "$report" refused "1005 0-19" ;;
    proposal-no-room) expect_no_line "$label" "$report" title ;;
    *) expect_no_line "$label" "$report" refused ;;
  esac
  [ "$made" != - ] && expect "$label: made" yes "$([ -e "$folder/$made" ] && echo yes)"
  [ "$flag" = rename ] && [ "$made" = - ] && expect_file "$label: item stays" "$folder/$item" "$item"
  [ "$label" = own-name-no-room ] && expect_missing "$label: no folder made" "$folder/sub"
done

finish
