# LnCopy handed to the shell's file operation (new and update unchecked),
# through ./tavimore: copy, move, a single folder without below, the shell's
# own overwrite question answered both ways, the quiet bit, and a destination
# that leaves no room for the shell's second NUL (nor for any item's name),
# refused with the box of a destination that cannot be made.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/lncopy_lib.sh"
set_history

fresh() {
  rm -rf "$work/src" "$work/dst"
  mkdir -p "$work/src/d" "$work/dst"
  echo alpha >"$work/src/a.txt"
  echo gamma >"$work/src/d/c.txt"
}
dst=$(windows_form "$work/dst")
# A destination of 258 bytes ends with its backslash at the field's last byte.
long=dst/$(printf 'x%.0s' $(seq 1 80))/$(printf 'y%.0s' $(seq 1 80))
long_windows=$(windows_form "$work/$long")
long=$long/$(printf 'z%.0s' $(seq 1 $((258 - ${#long_windows} - 1))))
long_windows=$(windows_form "$work/$long")
made=' は\r\n作成出来ません。'

# name | destination | options | selection (; between paths) | result | pathBuffer | box text after the caption | must exist | must be gone
table="copy|dst|--toggle 8112,8114|src/a.txt;src/d|0x00000001|$dst\\a.txt||dst/a.txt dst/d/c.txt src/a.txt|
move|dst|--toggle 8111,8112,8114|src/a.txt;src/d|0x00000001|$dst\\a.txt||dst/a.txt dst/d/c.txt|src/a.txt src/d
folder-without-below|dst|--toggle 8112,8114|src/d|0x00000001|$dst\\d||dst/d/c.txt src/d/c.txt|dst/c.txt
quiet|dst|--toggle 8112,8114 --keys 4|src/a.txt|0x00000005|$dst\\a.txt||dst/a.txt|
shell-long|$long|--toggle 8111,8112,8114 --keys 2|src/a.txt|0x00000000|$long_windows|$long_windows$made|$long src/a.txt|$long/a.txt"
while IFS='|' read -r name destination options selection result path box present gone; do
  fresh
  paths=()
  IFS=';' read -r -a parts <<<"$selection"
  for part in "${parts[@]}"; do paths+=("$work/$part"); done
  # shellcheck disable=SC2086
  lncopy "$name" --dest "$work/$destination" $options "${paths[@]}"
  check_run "$name" "$result" "$path"
  expect "$name box" "${box:+ Tavimore | $box}" "$(value "$name" box)"
  for file in $present; do exists "$name" "$work/$file"; done
  for file in $gone; do missing "$name" "$work/$file"; done
  expect "$name shell windows" "" "$(value "$name" shell)"
done <<<"$table"
expect "shell-long: options untouched, as for a destination that cannot be made" 0x00000000 \
  "$(value shell-long options)"
expect "folder-without-below checks" "8111=0 8112=0 8114=0 8118=0" "$(value folder-without-below checks)"

# The shell asks before it overwrites; the answer decides.
for answer in no yes; do
  fresh
  echo old >"$work/dst/a.txt"
  lncopy "overwrite-$answer" --dest "$work/dst" --toggle 8112,8114 --shell-answer "$answer" "$work/src/a.txt"
  checks=$((checks + 1))
  [[ $(value "overwrite-$answer" shell) == *"'a.txt'"* ]] || fail "overwrite-$answer: no question about a.txt: $(value "overwrite-$answer" shell)"
  # In a batch run the question and the answer given also go to stderr.
  expect "overwrite-$answer on stderr" 1 "$(grep -c "^Tavimore: shell: .*'a.txt'.* | answered $answer\$" "$work/overwrite-$answer.err")"
  want=old
  [ "$answer" = yes ] && want=alpha
  expect "overwrite-$answer bytes" "$want" "$(cat "$work/dst/a.txt")"
done

finish
