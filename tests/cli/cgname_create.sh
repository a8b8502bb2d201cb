#!/usr/bin/env bash
# CgName with a zero third argument (--create) proposes "NewFile" in the
# selected folder (no doubled separator behind a root) and creates the typed
# name as an empty file, making missing folders on the way; a text ending with
# "\" makes the folders only. Result 1; messageBuffer holds the new path (the
# last folder with its "\" when only folders were made); options untouched.
source "$(dirname "$0")/cgname_lib.sh"

# label | root | items | selected folder ("." = the root itself) | typed ("-" = keep the proposal) | proposal | new path | kind (file, folder)
rows=(
  "new-file|z|dir/|dir|-|NewFile|dir/NewFile|file"
  "typed-name|z|dir/|dir|x.txt|NewFile|dir/x.txt|file"
  "sub-folder-path|z|dir/|dir|new\\x.txt|NewFile|dir/new/x.txt|file"
  "existing-sub-folder|z|dir/new/|dir|new\\x.txt|NewFile|dir/new/x.txt|file"
  "folders-only|z|dir/|dir|new\\deeper\\|NewFile|dir/new/deeper/|folder"
  "level-up|z|dir/|dir|..x.txt|NewFile|x.txt|file"
  "double-byte|z|dir/|dir|表\\ソ.txt|NewFile|dir/表/ソ.txt|file"
  "drive-root|n||.|-|NewFile|NewFile|file"
  "drive-root-folders-only|n||.|a\\|NewFile|a/|folder"
  "share-root|unc||.|x.txt|NewFile|x.txt|file"
  "share-folder|unc|d/|d|-|NewFile|d/NewFile|file"
)

for row in "${rows[@]}"; do
  IFS='|' read -r label kind items selected typed proposal target made <<<"$row"
  folder=$work/$label
  base=$(row_root "$kind" "$folder")
  read -r -a item_list <<<"$items"
  [ ${#item_list[@]} -gt 0 ] && make_items "$folder" "${item_list[@]}"
  report=$work/$label.report
  # A drive root is selected as "N:\", a share root as "\\srv\cgname".
  if [ "$selected" = . ]; then path=$base; [ "$kind" = n ] && path="N:\\"; else path="$base\\$(win "$selected")"; fi
  actions=()
  [ "$typed" != - ] && actions=(--name "$typed")
  tavimore CgName --create --options 0x1000 "${actions[@]}" --report "$report" "$path"
  expect "$label: exit status" 0 "$status"
  expect_report "$label" "$report" result 0x00000001
  expect_report "$label" "$report" title " 作成ファイル名の入力"
  expect_report "$label" "$report" messageBuffer "$base\\$(win "$target")"
  expect_report "$label" "$report" options 0x00001000
  expect_no_line "$label" "$report" box
  expect_no_line "$label" "$report" refused
  [ "$typed" = - ] && expect_report "$label" "$report" name "$proposal"
  if [ "$made" = file ]; then
    expect_file "$label: empty file made" "$folder/$target" ""
  else
    expect_folder "$label: folder made" "$folder/$target"
    expect_missing "$label: no file" "$folder/${target%/}/NewFile"
  fi
done

finish
