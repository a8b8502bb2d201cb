#!/usr/bin/env bash
# Japanese file and folder names reach the library as code page 932 paths and
# come back in the report as UTF-8. "ソ" (83 5C) and "表" (95 5C) end in the byte
# of "\", which must not be taken for a separator anywhere on the way.
source "$(dirname "$0")/lib.sh"

folder=$work/データ表
mkdir -p "$folder"
printf 'ソースの表です。\nkana and ASCII\n' | iconv -f UTF-8 -t CP932 >"$folder/ソースの表.txt"
printf 'ソースの表です。\nkana and ASCII\n' >"$work/expected"

tavimore AsText --report "$work/r" "$folder/ソースの表.txt" >"$work/out"
expect "readable Japanese name: exit status" 0 "$status"
expect_same_bytes "readable Japanese name: text" "$work/expected" "$work/out"
expect "readable Japanese name: messageBuffer" "Z:${work//\//\\}\\データ表\\ソースの表.txt" \
  "$(report_value "$work/r" messageBuffer)"

# Relative paths are taken from the current folder.
(cd "$folder" && timeout 120 "$root/tavimore" AsText --batch --report ../r2 ソースの表.txt >../out2)
expect "relative Japanese name: exit status" 0 "$?"
expect_same_bytes "relative Japanese name: text" "$work/expected" "$work/out2"
expect "relative report path lands beside" "Z:${work//\//\\}\\データ表\\ソースの表.txt" \
  "$(report_value "$work/r2" messageBuffer)"

: >"$folder/空のファイル.txt"
tavimore AsText --report "$work/r3" "$folder/空のファイル.txt" >/dev/null
expect "empty Japanese name: exit status" 1 "$status"
expect "empty Japanese name: box names the file" \
  " Tavimore | Z:${work//\//\\}\\データ表\\空のファイル.txt\\r\\n指定ファイルはサイズがゼロです。" \
  "$(report_value "$work/r3" box)"

# A report and a raw file with Japanese names are written where asked.
tavimore AsText --report "$folder/報告.txt" --raw "$folder/中身.bin" "$folder/ソースの表.txt" >/dev/null
expect "Japanese report name: exit status" 0 "$status"
expect "Japanese report name: written" 0 "$(report_value "$folder/報告.txt" result >/dev/null; echo $?)"
expect_same_bytes "Japanese raw name: the file as read" "$folder/ソースの表.txt" "$folder/中身.bin"

finish
