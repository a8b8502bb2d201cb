# The destination browser through ./tavimore: a folder picked in the tree,
# drops, typed paths that OK refuses, the check boxes, Explorer on a
# double-click in the tree, Cancel; the check boxes' labels and the layout.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/lncopy_lib.sh"

rm -rf "$work/src" "$work/dst"
mkdir -p "$work/src" "$work/dst/tree" "$work/dst/drop/sub" "$work/dst/shown"
echo alpha >"$work/src/a.txt"
echo dropped >"$work/dst/drop/file.txt"
dst=$(windows_form "$work/dst")
set_history "$dst\\shown"

# name | actions | result | pathBuffer
table="tree|--tree $work/dst/tree|0x00000001|$dst\\tree\\a.txt
drop-file|--drop $work/dst/drop/file.txt|0x00000001|$dst\\drop\\a.txt
drop-folder|--drop $work/dst/drop/sub|0x00000001|$dst\\drop\\sub\\a.txt
drop-vanished|--drop $work/dst/drop/gone/deeper/x.txt|0x00000001|$dst\\drop\\a.txt
drop-nothing|--drop Q:\\no\\such\\thing|0x00000001|$dst\\shown\\a.txt
cancel|--dest $work/dst/cancelled --cancel|0x00000000|$dst\\cancelled
bad-character|--dest $work/dst/ab*|0x00000000|$dst\\ab*
no-such-drive|--dest Q:\\nowhere|0x00000000|Q:\\nowhere"
while IFS='|' read -r name actions result path; do
  set_history "$dst\\shown"
  # shellcheck disable=SC2086
  lncopy "$name" $actions "$work/src/a.txt"
  check_run "$name" "$result" "$path"
done <<<"$table"
# A refused OK: the dialog stays, the focus is in the history box's edit
# field (1001) with the culprit selected, and the command is cancelled.
bad=$(windows_form "$work/dst/ab*")
star=$((${#bad} - 1))
expect "bad-character refused" "1001 $star-$((star + 1))" "$(value bad-character refused)"
checks=$((checks + 1))
[ -n "$(value no-such-drive refused)" ] || fail "no-such-drive: OK was not refused"
exists tree "$work/dst/tree/a.txt"
missing cancel "$work/dst/cancelled"
expect "refused then cancelled: history unchanged" "$dst\\shown" "$(history_entries)"
# Actions that cannot be taken as asked: said on stderr, the dialog cancelled
# (never OK'd), exit 6. Each row types its destination under nd/; what is
# there afterwards. A refused "*" is selected by the browser and replaced by
# the next character typed; the check box 8118 is there only for one folder.
mkdir -p "$work/nd" "$work/src/d"
nd=$(windows_form "$work/nd")
# name | actions | selection | stderr after "tavihost: not done: " | made in nd/
notdone="star-replaced|--dest $work/nd/a*b|a.txt|--dest $nd\\a*b: the field reads $nd\\ab|
no-box|--dest $work/nd/b --toggle 8111,8118,8112 --cancel|a.txt d|--toggle 8111,8118,8112: the browser shows no check box 8118|
no-entry|--pick 3 --dest $work/nd/c|a.txt|--pick 3: the history has no entry 3|
too-late|--dest $work/nd/late --click-after 9|a.txt|--click-after 9: the run ended before line 9 was listed|late
shell-limit|--dest $work/nd/s --toggle 8112,8114 --limit 5|a.txt|--limit 5: the shell's copy (new and update off) has no window to cancel; the browser was cancelled|
quiet-no-window|--dest $work/nd/quiet --keys 4 --click-after 1|a.txt|--click-after 1: no dialog of the command was there to take it|quiet"
while IFS='|' read -r name actions items line made; do
  set_history "$dst\\shown"
  paths=()
  for item in $items; do paths+=("$work/src/$item"); done
  # shellcheck disable=SC2086
  lncopy "$name" $actions "${paths[@]}"
  expect "$name: exit status" 6 "$status"
  expect "$name: stderr" "tavihost: not done: $line" "$(grep -v '^Tavimore: ' "$work/$name.err")"
  expect "$name: made" "$made" "$(ls "$work/nd")"
  rm -rf "$work/nd" && mkdir -p "$work/nd"
done <<<"$notdone"

# --tree takes each folder by its exact name; only when the tree has none of
# that name, one that differs in case, and "tree:" says which it took.
mkdir -p "$work/cs/Ab" "$work/cs/ab" "$work/cb/Ab"
cs=$(windows_form "$work/cs")
cb=$(windows_form "$work/cb")
# name | --tree | tree: | the copy | no copy
cases="tree-exact|$work/cs/ab|$cs\\ab (exact)|$work/cs/ab/a.txt|$work/cs/Ab/a.txt
tree-exact-upper|$work/cs/Ab|$cs\\Ab (exact)|$work/cs/Ab/a.txt|$work/cs/ab/a.txt
tree-by-case|$work/cb/AB|$cb\\Ab (no exact name; taken by case)|$work/cb/Ab/a.txt|"
while IFS='|' read -r name folder line copied other; do
  lncopy "$name" --tree "$folder" "$work/src/a.txt"
  expect "$name: exit status" 0 "$status"
  expect "$name: tree" "$line" "$(value "$name" tree)"
  exists "$name" "$copied"
  [ -n "$other" ] && missing "$name" "$other"
  rm -f "$copied"
done <<<"$cases"

# Several paths dropped at once: the first one counts.
lncopy drop-two --drop "$work/dst/drop/sub|$work/dst/tree" "$work/src/a.txt"
check_run drop-two 0x00000001 "$dst\\drop\\sub\\a.txt"

# Folders whose path code page 932 does not hold exactly, and a path longer
# than 259 bytes. Beside each stands the folder its code page 932 form would
# name ("¥" read as "\\", "é" as "e", the path cut at 259 bytes; a "?" makes
# the walk up reach odd/). A drop of one is ignored with a beep: the
# destination stays the one shown. Selected in the tree, one is shown with
# "?" for what code page 932 cannot hold, and OK stays unavailable.
odd=$work/dst/odd
cut=$odd/$(head -c $((240 - $(windows_form "$odd" | wc -c) - 1)) /dev/zero | tr '\0' 'f')
mkdir -p "$odd/a¥b" "$odd/a/b" "$odd/폴더" "$odd/😀" "$odd/café" "$odd/cafe" "$odd/表ソ" \
  "$cut/decoy-cut-here-dir" "$cut/decoy-cut-here-dir-and-more"
expect "the cut path's length" 259 "$(windows_form "$cut/decoy-cut-here-dir" | wc -c)"
oddw=$(windows_form "$odd")
# name | actions | result | pathBuffer | beeps (0x30 the drop ignored, 0x40 the copy's end)
table="drop-exact|--drop $odd/表ソ|0x00000001|$oddw\\表ソ\\a.txt|0x00000040
drop-yen|--drop $odd/a¥b|0x00000001|$dst\\shown\\a.txt|0x00000030 ; 0x00000040
drop-hangul|--drop $odd/폴더|0x00000001|$dst\\shown\\a.txt|0x00000030 ; 0x00000040
drop-emoji|--drop $odd/😀|0x00000001|$dst\\shown\\a.txt|0x00000030 ; 0x00000040
drop-accented|--drop $odd/café|0x00000001|$dst\\shown\\a.txt|0x00000030 ; 0x00000040
drop-long|--drop $cut/decoy-cut-here-dir-and-more|0x00000001|$dst\\shown\\a.txt|0x00000030 ; 0x00000040
tree-exact|--tree $odd/表ソ|0x00000001|$oddw\\表ソ\\a.txt|0x00000040
tree-yen|--tree $odd/a¥b|0x00000000|$oddw\\a?b|
tree-accented|--tree $odd/café|0x00000000|$oddw\\caf?|"
while IFS='|' read -r name actions result path beep; do
  set_history "$dst\\shown"
  rm -f "$work/dst/shown/a.txt"
  # shellcheck disable=SC2086
  lncopy "$name" $actions "$work/src/a.txt"
  check_run "$name" "$result" "$path"
  expect "$name beeps" "$beep" "$(values "$name" beep)"
  case $result in
    0x00000000) [ -n "$(value "$name" refused)" ] || fail "$name: OK was not refused: $(cat "$work/$name.err")"
      checks=$((checks + 1)) ;;
  esac
  # Nothing reached a folder that was not chosen.
  expect "$name: copies under odd/" "$([ "$name" = drop-exact ] || [ "$name" = tree-exact ] && echo "$odd/表ソ/a.txt")" \
    "$(find "$odd" -name a.txt)"
  find "$odd" -name a.txt -delete
done <<<"$table"

# Check boxes: clearing new and update unchecks and disables below; checking
# new again enables below but leaves it clear.
mkdir -p "$work/src/d"
lncopy boxes --dest "$work/dst" --toggle 8112,8114,8112 --attributes 10 "$work/src/d"
expect "boxes checks" "8111=0 8112=1 8114=0 8118=0" "$(value boxes checks)"
expect "boxes pathBuffer" "$dst\\d" "$(value boxes pathBuffer)"

# Each box's label goes with its id and with the option bit the id toggles:
# one click from the start (new, update and below on) shows which bit changed.
# id | label | checks after the click
boxes="8111|  移 動|8111=1 8112=1 8114=1 8118=1
8112| 新規|8111=0 8112=0 8114=1 8118=1
8114| 更新|8111=0 8112=1 8114=0 8118=1
8118| 以下|8111=0 8112=1 8114=1 8118=0"
while IFS='|' read -r id label after; do
  mkdir -p "$work/src/d"
  lncopy "box-$id" --dest "$work/dst" --toggle "$id" --attributes 10 "$work/src/d"
  expect "$id label" "[$label]" "$(value "box-$id" labels | grep -o "$id\[[^]]*\]" | cut -c5-)"
  expect "$id toggles" "$after" "$(value "box-$id" checks)"
done <<<"$boxes"

# With three boxes and with four: no two controls overlap, no label is cut.
for name in tree boxes; do
  expect "$name overlapping controls" none "$(value "$name" overlap)"
  expect "$name cut labels" none "$(value "$name" cut)"
done

# A double-click on the tree's folder opens Explorer on it; the host reports
# and closes that window.
set_history "$dst\\shown"
lncopy explorer --tree "$work/dst/tree" --tree-dblclick --cancel "$work/src/a.txt"
expect "explorer window" "tree | " "$(value explorer shell)"
[ -n "$(value explorer shell)" ] || cat "$work/explorer.report" >&2
expect "explorer result" 0x00000000 "$(value explorer result)"

finish
