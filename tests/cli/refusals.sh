#!/usr/bin/env bash
# Files AsText refuses: the host reports the warning box (caption and text, CR LF
# written as \r\n) and writes its text as one line on stderr, the path and
# warning in messageBuffer, result 0, exit 1,
# nothing on stdout, no raw file, and an options word the library left alone.
source "$(dirname "$0")/lib.sh"

size_zero='\r\n指定ファイルはサイズがゼロです。'
not_text='\r\n指定ファイルはテキストとして扱えません。'
cannot_read='\r\n ファイルが読み込めません。'

# name | bytes of the file (printf format; "-" = no file at all, "/" = a folder) | warning
rows=(
  "empty||$size_zero"
  "png-header|\\x89PNG\\r\\n\\x1a\\n\\x00\\x00\\x00\\x0dIHDR\\x00\\x00\\x01\\x00|$not_text"
  "ff-pair|ab\\xff\\xffcd|$not_text"
  "single-ff|ab\\xffcd|$not_text"
  "utf-16-odd-size|A\\x00B|$not_text"
  "utf-16-unit-ffff|\\xff\\xfeA\\x00\\xff\\xffB\\x00|$not_text"
  "utf-16-unit-nul|\\xff\\xfeA\\x00\\x00\\x00B\\x00|$not_text"
  "utf-16be-unit-nul|\\xfe\\xff\\x00A\\x00\\x00\\x30\\x42|$not_text"
  "missing|-|$cannot_read"
  "folder|/|$cannot_read"
)

for row in "${rows[@]}"; do
  IFS='|' read -r name bytes warning <<<"$row"
  file=$work/$name.bin
  case $bytes in -) ;; /) mkdir -p "$file" ;; *) printf "$bytes" >"$file" ;; esac
  tavimore AsText --options 0x1000 --report "$work/$name.report" --raw "$work/$name.raw" "$file" \
    >"$work/$name.out" 2>"$work/$name.err"
  path=$(windows_form "$file")
  expect "$name: exit status" 1 "$status"
  expect "$name: result" 0x00000000 "$(report_value "$work/$name.report" result)"
  expect "$name: box" " Tavimore | $path$warning" "$(report_value "$work/$name.report" box)"
  expect "$name: one box" 1 "$(grep -c '^box: ' "$work/$name.report")"
  expect "$name: the box on stderr, CR LF as a space" "Tavimore: $path${warning//\\r\\n/ }" \
    "$(grep '^Tavimore: ' "$work/$name.err")"
  expect "$name: messageBuffer" "$path$warning" "$(report_value "$work/$name.report" messageBuffer)"
  expect "$name: options untouched after a failure" 0x00001000 "$(report_value "$work/$name.report" options)"
  expect "$name: format word unchanged" 1 "$(report_value "$work/$name.report" format)"
  expect "$name: nothing on stdout" 0 "$(stat -c %s "$work/$name.out")"
  checks=$((checks + 1))
  [ -e "$work/$name.raw" ] && fail "$name: a raw file was written for a refused file"
done

finish
