# The destination history TavimoreCP.dst through ./tavimore: what is listed
# from a file, what OK saves, Shift-delete, both sorts, the 49-entry limit,
# over-long and unterminated entries, and a read-only file.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/lncopy_lib.sh"

mkdir -p "$work/src" "$work/dst/one" "$work/dst/two"
echo alpha >"$work/src/a.txt"
dst=$(windows_form "$work/dst")
one=$dst\\one
two=$dst\\two

# Load: entries starting below 'A' (digits, empty, double-byte) are not
# listed; the first listed entry becomes the destination.
printf '%s\0\0%s\0%s\0\x82\xa0\\x\0%s\0' "$one" '1:\digit' 'c:\lower' "$two" >"$history_file"
lncopy load "$work/src/a.txt"
expect "load list" "$one | c:\\lower | $two" "$(value load history)"
check_run load 0x00000001 "$one\\a.txt"
# Save: the destination first, then the listed entries, without it again.
expect "load saved" "$(printf '%s\n' "$one" 'c:\lower' "$two")" "$(history_entries)"

# Choosing another entry saves it first; a typed destination equal to an
# entry apart from case is not repeated.
set_history "$one" "$two" 'c:\lower'
lncopy pick --pick 1 "$work/src/a.txt"
check_run pick 0x00000001 "$two\\a.txt"
expect "pick saved" "$(printf '%s\n' "$two" "$one" 'c:\lower')" "$(history_entries)"
set_history "$one" "$two"
upper=$(tr '[:lower:]' '[:upper:]' <<<"$two")
lncopy case --dest "$upper" "$work/src/a.txt"
expect "case saved" "$(printf '%s\n' "$upper" "$one")" "$(history_entries)"

# Shift while choosing deletes the entry and keeps the text shown; the file
# loses it at OK.
set_history "$one" 'C:\gone' "$two"
lncopy shift-delete --shift-pick 1 "$work/src/a.txt"
expect "shift-delete list" "$one | $two" "$(value shift-delete history)"
check_run shift-delete 0x00000001 "$one\\a.txt"
expect "shift-delete saved" "$(printf '%s\n' "$one" "$two")" "$(history_entries)"
# ... but not after Cancel.
set_history "$one" 'C:\gone' "$two"
lncopy shift-delete-cancel --shift-pick 1 --cancel "$work/src/a.txt"
expect "shift-delete-cancel saved" "$(printf '%s\n' "$one" 'C:\gone' "$two")" "$(history_entries)"

# Shift on the entry the edit field shows (the top one): it leaves the list,
# but OK writes the destination back first, so the file keeps it.
set_history "$one" 'C:\gone' "$two"
lncopy shift-top --shift-pick 0 "$work/src/a.txt"
expect "shift-top list" 'C:\gone | '"$two" "$(value shift-top history)"
check_run shift-top 0x00000001 "$one\\a.txt"
expect "shift-top saved" "$(printf '%s\n' "$one" 'C:\gone' "$two")" "$(history_entries)"

# Sort: a double-click on the background, Shift for descending; entries
# equal apart from case are dropped (the upper one stays); the edit field
# keeps its text.
for sort in sort sort-desc; do
  set_history "$one" 'C:\b' 'c:\A' 'D:\x' 'C:\B'
  lncopy "$sort" "--$sort" "$work/src/a.txt"
  expect "$sort destination" "$one" "$(value "$sort" destination)"
done
expect "sort list" "c:\\A | C:\\b | D:\\x | $one" "$(value sort history)"
expect "sort-desc list" "$one | D:\\x | C:\\b | c:\\A" "$(value sort-desc history)"

# The list holds 49 entries; the save writes the destination and those 49.
entries=()
for i in $(seq 1 60); do entries+=("C:\\e$i"); done
set_history "${entries[@]}"
lncopy limit --dest "$work/dst/one" "$work/src/a.txt"
listed=$(value limit history | awk -F' [|] ' '{ print NF }')
expect "limit listed" 49 "$listed"
expect "limit saved" "$(printf '%s\n' "$one" "${entries[@]:0:49}")" "$(history_entries)"

# An entry of 259 bytes, the longest path, is listed and saved again; one of
# 260 bytes or more is skipped whole; an unterminated last entry is kept.
long="C:\\$(printf 'L%.0s' $(seq 1 300))"
longest=${long:0:259}
{ printf '%s\0' "$one" "$longest" "${long:0:260}" "$long"; printf '%s' "$two"; } >"$history_file"
lncopy long-entries "$work/src/a.txt"
expect "long-entries list" "$one | $longest | $two" "$(value long-entries history)"
expect "long-entries saved" "$(printf '%s\n' "$one" "$longest" "$two")" "$(history_entries)"

# A read-only file is neither listed nor rewritten.
set_history "$two"
chmod a-w "$history_file"
lncopy read-only --dest "$work/dst/one" "$work/src/a.txt"
chmod u+w "$history_file"
expect "read-only list" "" "$(value read-only history)"
expect "read-only file" "$two" "$(history_entries)"

# No file: the list is empty and OK waits for a destination; the save makes the file.
rm -f "$history_file"
lncopy no-file --dest "$work/dst/two" "$work/src/a.txt"
expect "no-file list" "" "$(value no-file history)"
expect "no-file saved" "$two" "$(history_entries)"

finish
