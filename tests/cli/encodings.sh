#!/usr/bin/env bash
# AsText through ./tavimore on the same Japanese and ASCII text in every encoding
# the library recognises: stdout must be that text in UTF-8, the raw bytes must
# be the block the host got (as read, or UTF-16LE), the format word must say which.
source "$(dirname "$0")/lib.sh"

corpus=$work/corpus.txt
cat >"$corpus" <<'TEXT'
Tavimore テキスト取り込みの試験です。
日本語と ASCII が混ざった行: 東京都 千代田区 1-2-3
「かぎかっこ」、句読点。ひらがな カタカナ 漢字 長音ー
The quick brown fox jumps over the lazy dog. 0123456789
最後の行です。
TEXT
iconv -f UTF-8 -t UTF-16LE "$corpus" >"$work/utf16le.expected"

# name | how the file is made from the corpus | iconv name to read it back | format | raw bytes
rows=(
  "ascii|printf 'plain ASCII text\\nsecond line\\n'|ASCII|1|file"
  "shift-jis|iconv -f UTF-8 -t CP932|CP932|1|file"
  "euc-jp|iconv -f UTF-8 -t EUC-JP|EUC-JP|13|utf16"
  "iso-2022-jp|iconv -f UTF-8 -t ISO-2022-JP|ISO-2022-JP|13|utf16"
  "utf-8|cat|UTF-8|13|utf16"
  "utf-8-mark|{ printf '\\xEF\\xBB\\xBF'; cat; }|UTF-8|13|utf16"
  "utf-16le|iconv -f UTF-8 -t UTF-16LE|UTF-16LE|13|utf16"
  "utf-16le-mark|{ printf '\\xFF\\xFE'; iconv -f UTF-8 -t UTF-16LE; }|UTF-16|13|utf16"
  "utf-16be|iconv -f UTF-8 -t UTF-16BE|UTF-16BE|13|utf16"
  "utf-16be-mark|{ printf '\\xFE\\xFF'; iconv -f UTF-8 -t UTF-16BE; }|UTF-16|13|utf16"
)

for row in "${rows[@]}"; do
  IFS='|' read -r name make encoding format raw <<<"$row"
  file=$work/$name.txt
  bash -c "$make" <"$corpus" >"$file"
  expected=$corpus
  [ "$name" = ascii ] && expected=$file
  # The test data itself: a peer decoder reads the file back to the corpus.
  iconv -f "$encoding" -t UTF-8 "$file" | sed '1s/^\xEF\xBB\xBF//' >"$work/$name.peer"
  expect_same_bytes "$name: iconv reads the test file back" "$expected" "$work/$name.peer"

  tavimore AsText --report "$work/$name.report" --raw "$work/$name.raw" "$file" >"$work/$name.out"
  expect "$name: exit status" 0 "$status"
  expect_same_bytes "$name: stdout is the text in UTF-8" "$expected" "$work/$name.out"
  expect "$name: format word" "$format" "$(report_value "$work/$name.report" format)"
  expect "$name: no message box" "" "$(report_value "$work/$name.report" box)"
  expect "$name: messageBuffer holds the path" "$(windows_form "$file")" \
    "$(report_value "$work/$name.report" messageBuffer)"
  expect "$name: clipboard took the block" "$format" "$(report_value "$work/$name.report" clipboard)"
  if [ "$raw" = file ]; then
    expect_same_bytes "$name: raw bytes are the file as read" "$file" "$work/$name.raw"
  else
    expect_same_bytes "$name: raw bytes are UTF-16LE without mark" "$work/utf16le.expected" "$work/$name.raw"
  fi
done

# Texts over the host's 1 MiB output piece, with a character across the piece
# boundary: a Shift-JIS double-byte character, a UTF-16 surrogate pair.
{ printf 'a'; head -c $((600 * 1024)) /dev/zero | tr '\0' '\1' | sed 's/\x01/\x82\xA0/g'; } >"$work/big-sjis.txt"
{ printf 'a'; head -c $((600 * 1024)) /dev/zero | tr '\0' '\1' | sed 's/\x01/あ/g'; } >"$work/big-sjis.expected"
{ printf '\xFF\xFE'; head -c $(((1 << 20) - 1)) /dev/zero | tr '\0' 'a' | iconv -f UTF-8 -t UTF-16LE
  printf '\x3D\xD8\x00\xDE'; } >"$work/big-utf16.txt"
{ head -c $(((1 << 20) - 1)) /dev/zero | tr '\0' 'a'; printf '\xF0\x9F\x98\x80'; } >"$work/big-utf16.expected"
for name in big-sjis big-utf16; do
  tavimore AsText "$work/$name.txt" >"$work/$name.out"
  expect "$name: exit status" 0 "$status"
  expect_same_bytes "$name: stdout" "$work/$name.expected" "$work/$name.out"
done

# Half-width katakana are single bytes of Shift-JIS between the double-byte ones;
# a UTF-16 surrogate without its partner goes out as U+FFFD.
printf 'ｶﾀｶﾅ と ひらがなとカタカナと漢字の文章です。\r\nASCII ~ \\ end\n' >"$work/kana.expected"
iconv -f UTF-8 -t CP932 "$work/kana.expected" >"$work/kana.txt"
printf '\xFF\xFEa\x00\x3D\xD8b\x00\x00\xDEc\x00' >"$work/lone.txt"
printf 'a\xEF\xBF\xBDb\xEF\xBF\xBDc' >"$work/lone.expected"
# Marked UTF-16 whose pairs straddle two units: "！寿" is 01 FF FF 5B in
# little-endian, "（" after the big-endian mark is FE FF FF 08, "é言" and
# "言é" put a NUL pair across two units. All of it is text.
printf '！寿司（すし）é言é\n' >"$work/straddle-le.expected"
cp "$work/straddle-le.expected" "$work/straddle-be.expected"
{ printf '\xFF\xFE'; iconv -f UTF-8 -t UTF-16LE "$work/straddle-le.expected"; } >"$work/straddle-le.txt"
{ printf '\xFE\xFF'; iconv -f UTF-8 -t UTF-16BE "$work/straddle-be.expected"; } >"$work/straddle-be.txt"
for name in kana lone straddle-le straddle-be; do
  tavimore AsText "$work/$name.txt" >"$work/$name.out"
  expect "$name: exit status" 0 "$status"
  expect_same_bytes "$name: stdout" "$work/$name.expected" "$work/$name.out"
done

# Texts the bytes alone cannot tell: UTF-16 without a mark is recognised by
# its NUL bytes, so Japanese-only UTF-16LE is taken for Shift-JIS and handed
# over as read (garbled, no message); an even-length text with one stray NUL
# is read as big-endian UTF-16 without a mark.
# name | bytes (printf format) | format | stdout in UTF-8 (printf format)
misread=(
  "japanese-utf-16le-unmarked|\\xe5\\x65\\x2c\\x67\\x9e\\x8a\\x6e\\x30|1|\\xe8\\x98\\xb0,g\\xe6\\xa2\\x9dn0"
  "stray-nul-even|abcd\\x00efg|13|\\xe6\\x85\\xa2\\xe6\\x8d\\xa4e\\xe6\\x99\\xa7"
)
for row in "${misread[@]}"; do
  IFS='|' read -r name bytes format text <<<"$row"
  printf "$bytes" >"$work/$name.txt"
  printf "$text" >"$work/$name.expected"
  tavimore AsText --report "$work/$name.report" "$work/$name.txt" >"$work/$name.out"
  expect "$name: exit status" 0 "$status"
  expect "$name: format word" "$format" "$(report_value "$work/$name.report" format)"
  expect "$name: no message box" "" "$(report_value "$work/$name.report" box)"
  expect_same_bytes "$name: stdout" "$work/$name.expected" "$work/$name.out"
done

finish
