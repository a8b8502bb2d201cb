#!/usr/bin/env bash
# release_package.sh OUT: the package that ./release wrote in OUT/src/dist, as a
# user receives it: its members, the DLL's export table and returns, no debug
# sections, only system DLLs imported, the version record equal to the zip's
# version, the debug link naming the debug zip's file, the guides' encodings.
source "$(dirname "$0")/lib.sh"
dist=$(realpath -m -- "$1")/src/dist
zip=$(ls "$dist"/Tavimore-*.zip | grep -v -- '-debug\.zip$')
version=${zip##*/Tavimore-}
version=${version%.zip}
python3 -m zipfile -e "$zip" "$work/package" && python3 -m zipfile -e "$dist/Tavimore-$version-debug.zip" "$work/debug" ||
  fail "unpacking $zip"
members() { python3 -c 'import sys, zipfile; print(*zipfile.ZipFile(sys.argv[1]).namelist())' "$1"; }
pictures="browser.png name-dialog.png progress-errors.png progress-errors-resized.png time-dialog.png"
shipped="Tavimore.dll guide-ja.txt guide-en.txt $(printf 'pictures/%s ' $pictures)"
shipped=${shipped% }
expect "members" "$shipped SHA256SUMS" "$(members "$zip")"
expect "debug members" "Tavimore.dll.debug" "$(members "$dist/Tavimore-$version-debug.zip")"
dll=$work/package/Tavimore.dll

bash tests/cli/pe32.sh "$dll" >/dev/null || fail "export table or returns (tests/cli/pe32.sh $dll)"
expect "debug sections" "" "$(i686-w64-mingw32-objdump -h "$dll" | awk '$2 ~ /^\.debug/ {print $2}' | tr '\n' ' ')"
system="advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll shell32.dll user32.dll"
imports=$(i686-w64-mingw32-objdump -p "$dll" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
expect "some imports" "yes" "$([ -n "$imports" ] && echo yes)"
for name in $imports; do
  [[ " $system " == *" $name "* ]] || fail "imports $name, not a system DLL"
done
record=$(i686-w64-mingw32-windres -i "$dll" -O rc)
expect "FILEVERSION" "${version//./, }" "$(sed -n 's/^ FILEVERSION //p' <<<"$record")"
expect "PRODUCTVERSION" "${version//./, }" "$(sed -n 's/^ PRODUCTVERSION //p' <<<"$record")"
expect "FileVersion text" "$version" "$(sed -n 's/.*VALUE "FileVersion", L\?"\([0-9.]*\).*/\1/p' <<<"$record")"

# The debug link: the debug file's name and CRC-32, so that a debugger finds it.
: >"$work/link"
i686-w64-mingw32-objcopy --dump-section .gnu_debuglink="$work/link" "$dll" "$work/copy" 2>/dev/null
expect "debug link" "Tavimore.dll.debug match" "$(python3 -c '
import sys, zlib
link = open(sys.argv[1], "rb").read()
if len(link) < 8: sys.exit()
name = link.split(b"\0")[0].decode()
crc = int.from_bytes(link[-4:], "little")
print(name, "match" if crc == zlib.crc32(open(sys.argv[2], "rb").read()) else "differs")' "$work/link" "$work/debug/Tavimore.dll.debug")"
expect "debug information" "yes" "$(i686-w64-mingw32-objdump -h "$work/debug/Tavimore.dll.debug" | grep -q '\.debug_info' && echo yes)"

# SHA256SUMS: every other member, one a line with CRLF, as GNU sha256sum -c reads it.
(cd "$work/package" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS"
expect "SHA256SUMS names" "$shipped" \
  "$(tr -d '\r' <"$work/package/SHA256SUMS" | sed 's/^[0-9a-f]\{64\}  //' | paste -sd' ')"
expect "SHA256SUMS: lines without CR" "0" "$(grep -cv $'\r$' "$work/package/SHA256SUMS")"
for picture in $pictures; do
  expect_same_bytes "pictures/$picture" "docs/$picture" "$work/package/pictures/$picture"
done
# The guides: the Japanese one in code page 932, both with CRLF line ends.
expect_same_bytes "guide-ja.txt as code page 932" docs/guide-ja.txt \
  <(iconv -f CP932 -t UTF-8 "$work/package/guide-ja.txt" | tr -d '\r')
expect_same_bytes "guide-en.txt" <(printf '\xef\xbb\xbf'; cat docs/guide-en.txt) <(tr -d '\r' <"$work/package/guide-en.txt")
for guide in guide-ja.txt guide-en.txt; do
  expect "$guide: lines without CR" "0" "$(grep -cv $'\r$' "$work/package/$guide")"
done
# Both fit an 80-column text window: a full-width character takes two columns
# (in code page 932, as many as its bytes).
expect "guides: lines over 80 columns" "" "$(python3 -c '
import sys, unicodedata
for path, encoding in (sys.argv[1], "cp932"), (sys.argv[2], "utf-8-sig"):
    for number, line in enumerate(open(path, encoding=encoding, newline="\r\n"), 1):
        line = line.rstrip("\r\n")
        if sum(2 if unicodedata.east_asian_width(c) in "WFA" else 1 for c in line) > 80:
            print(path.rsplit("/", 1)[-1], number, end="; ")' "$work/package/guide-ja.txt" "$work/package/guide-en.txt")"
echo "shipped: $(stat -c %s "$dll") bytes, sha256 $(sha256sum "$dll" | cut -d' ' -f1)"
finish
