#!/usr/bin/env bash
# CgName renames the first selected item as typed: in place, into a new or an
# existing sub-folder, into a named folder keeping its name (text ending with
# "\"), and one level up, also from and at a drive root and a share root. The
# host finds result 1, the new path in messageBuffer, the item moved with its
# content, and options bit 0x20 toggled (bit 0x1000 given) only for a plain name.
source "$(dirname "$0")/cgname_lib.sh"

# label | root | items | selected | typed | new path | options after
rows=(
  "in-place|z|dir/a.txt|dir/a.txt|b.txt|dir/b.txt|0x00001020"
  "new-sub-folder|z|dir/a.txt|dir/a.txt|sub\\b.txt|dir/sub/b.txt|0x00001000"
  "existing-sub-folder|z|dir/a.txt dir/sub/|dir/a.txt|sub\\b.txt|dir/sub/b.txt|0x00001000"
  "two-new-folders|z|dir/a.txt|dir/a.txt|s1\\s2\\b.txt|dir/s1/s2/b.txt|0x00001000"
  "keeps-own-name|z|dir/a.txt|dir/a.txt|sub\\|dir/sub/a.txt|0x00001000"
  "level-up|z|dir/a.txt|dir/a.txt|..b.txt|b.txt|0x00001000"
  "level-up-alone|z|dir/a.txt|dir/a.txt|..|a.txt|0x00001000"
  "level-up-separator|z|dir/a.txt|dir/a.txt|..\\b.txt|b.txt|0x00001000"
  "level-up-into-sub|z|dir/a.txt|dir/a.txt|..new\\b.txt|new/b.txt|0x00001000"
  "folder-item|z|dir/f/in.txt|dir/f|g|dir/g|0x00001020"
  "double-byte-name|z|dir/a.txt|dir/a.txt|表|dir/表|0x00001020"
  "double-byte-folder|z|dir/a.txt|dir/a.txt|ソ\\表.txt|dir/ソ/表.txt|0x00001000"
  "drive-root-in-place|n|a.txt|a.txt|b.txt|b.txt|0x00001020"
  "drive-root-no-level-up|n|a.txt|a.txt|..b.txt|b.txt|0x00001000"
  "drive-up-to-root|n|d/a.txt|d/a.txt|..b.txt|b.txt|0x00001000"
  "share-root-no-level-up|unc|a.txt|a.txt|..b|b|0x00001000"
  "share-up-to-root|unc|d/a.txt|d/a.txt|..b|b|0x00001000"
  "share-sub-folder|unc|d/a.txt|d/a.txt|sub\\|d/sub/a.txt|0x00001000"
)

for row in "${rows[@]}"; do
  IFS='|' read -r label kind items selected typed target options <<<"$row"
  folder=$work/$label
  base=$(row_root "$kind" "$folder")
  read -r -a item_list <<<"$items"
  make_items "$folder" "${item_list[@]}"
  report=$work/$label.report
  tavimore CgName --options 0x1000 --name "$typed" --report "$report" "$base\\$(win "$selected")"
  expect "$label: exit status" 0 "$status"
  expect_report "$label" "$report" result 0x00000001
  expect_report "$label" "$report" messageBuffer "$base\\$(win "$target")"
  expect_report "$label" "$report" options "$options"
  expect_report "$label" "$report" title " 変更ファイル名の入力"
  expect_no_line "$label" "$report" box
  expect_no_line "$label" "$report" refused
  expect_missing "$label: old path gone" "$folder/$selected"
  if [ -d "$folder/$target" ]; then expect_file "$label: content moved" "$folder/$target/in.txt" dir/f/in.txt
  else expect_file "$label: content moved" "$folder/$target" "$selected"; fi
done

finish
