#!/usr/bin/env bash
# Paths dropped on the name dialog: the final component of the first one
# replaces the name field's selection (all of the proposed name when nothing
# was typed) or goes in at the caret, and is then used like typed text. The
# path is fetched outside messageBuffer, so a path longer than the field still
# gives its name; a drive root has no name and leaves the field as it was.
source "$(dirname "$0")/cgname_lib.sh"

long=$work/$(head -c 200 /dev/zero | tr '\0' 'd')/$(head -c 100 /dev/zero | tr '\0' 'e')/short.txt
# label | typed first ("-" none) | dropped paths | name field | renamed to ("-" refused, stays)
rows=(
  "one-file|-|$work/elsewhere/dropped.txt|dropped.txt|dropped.txt"
  "first-of-several|-|$work/x/first.txt|$work/x/second.txt|first.txt|first.txt"
  "folder|-|$work/some folder|some folder|some folder"
  "at-the-caret|pre-|$work/x/name.txt|pre-name.txt|pre-name.txt"
  "japanese|-|$work/x/表ソ.txt|表ソ.txt|表ソ.txt"
  "path-longer-than-the-field|-|$long|short.txt|short.txt"
  "drive-root|-|N:\\|a.txt|-"
)

for row in "${rows[@]}"; do
  label=${row%%|*}
  rest=${row#*|}
  typed=${rest%%|*}
  rest=${rest#*|}
  renamed=${rest##*|}
  rest=${rest%|*}
  name=${rest##*|}
  dropped=${rest%|*}
  folder=$work/$label
  base=$(windows_form "$folder")
  make_items "$folder" a.txt
  report=$work/$label.report
  actions=()
  [ "$typed" != - ] && actions=(--name "$typed")
  tavimore CgName "${actions[@]}" --drop "$dropped" --report "$report" "$base\\a.txt"
  expect_report "$label" "$report" name "$name"
  if [ "$renamed" = - ]; then
    expect_report "$label" "$report" result 0x00000000
    expect_report "$label" "$report" refused "1005 0-5"
    expect_file "$label: item stays" "$folder/a.txt" a.txt
  else
    expect_report "$label" "$report" result 0x00000001
    expect_report "$label" "$report" messageBuffer "$base\\$renamed"
    expect_file "$label: renamed" "$folder/$renamed" a.txt
  fi
done

finish
