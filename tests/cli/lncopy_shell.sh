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

# Items the shell could not take whole are refused before it runs, the first
# named in the box of a path that cannot be made, the others still handed over,
# and the result is 0: a folder moved onto a file of its name, a file onto a
# folder, a target path that passes 259 bytes (a 257-byte destination), a
# folder whose tree passes 259 bytes at the target or at the source (260
# refused, 259 taken), and two folders of 258 bytes holding a file, each
# selected twice, into a destination that holds them, the shell's question
# answered Cancel. Nothing is written outside the destination, the host's
# current folder included.

# folder_of_length BASE L: makes and prints a folder under BASE whose Windows
# form is L bytes long (its last component short of 100 bytes).
folder_of_length() {
  local folder=$1 need part
  need=$(($2 - $(windows_form "$1" | wc -c)))
  while [ "$need" -gt 0 ]; do
    part=$((need - 1 > 90 ? 90 : need - 1))
    [ $((need - 1 - part)) -eq 1 ] && part=$((part - 2))
    folder=$folder/$(head -c "$part" /dev/zero | tr '\0' 'q')
    need=$((need - part - 1))
  done
  mkdir -p "$folder" && printf '%s' "${folder#"$work/"}"
}
# on_disk NAME ENTRY...: path=content (a file), path/ (a folder), !path (nothing),
# each relative to $work.
on_disk() {
  local name=$1 item
  shift
  for item in "$@"; do
    checks=$((checks + 1))
    case $item in
      !*) [ ! -e "$work/${item#!}" ] || fail "$name: ${item#!} exists" ;;
      */) [ -d "$work/$item" ] || fail "$name: no folder $item" ;;
      *=*) [ -f "$work/${item%%=*}" ] && [ "$(cat "$work/${item%%=*}")" == "${item#*=}" ] ||
        fail "$name: ${item%%=*} is not a file holding [${item#*=}]" ;;
    esac
  done
}
# The row's @names: d257 and d250 (destinations of 257 and 250 bytes), s252 (a
# folder of 252 bytes), s1 and s2 (folders of 258 bytes holding f.txt, 264
# bytes) and n252, n1, n2 their names. Through d250\d\ or s252\ a 7-byte name makes
# a 260-byte path, a 6-byte one 259.
expand() {
  local text=$1 key
  for key in d257 d250 s252 s1 s2 n252 n1 n2; do text=${text//@$key/${!key}}; done
  printf '%s' "$text"
}
# name | options | destination | selection (; between paths, relative to $work)
# | result | the box's path (relative to $work; empty: no box) | on disk
refusals="folder-onto-file|--toggle 8111,8112,8114|dst|src/x;src/a.txt|0x00000000|dst/x|dst/x=twenty-two-bytes-file src/x/c.txt=gamma dst/a.txt=alpha !src/a.txt
file-onto-folder|--toggle 8111,8112,8114|dst|src/a.txt|0x00000000|dst/a.txt|src/a.txt=alpha dst/a.txt/keep.txt=kept !dst/a.txt/a.txt
destination-257|--toggle 8112,8114|@d257|src/a.txt|0x00000000|@d257/a.txt|src/a.txt=alpha !@d257/a.txt
tree-target-260|--toggle 8112,8114|@d250|src/d;src/a.txt|0x00000000|@d250/d|src/d/fffffff=seven @d250/a.txt=alpha !@d250/d
tree-target-259|--toggle 8112,8114|@d250|src/d|0x00000001||@d250/d/ffffff=six
tree-source-260|--toggle 8112,8114|dst|@s252|0x00000000|dst/@n252|@s252/fffffff=seven !dst/@n252
tree-source-259|--toggle 8112,8114|dst|@s252|0x00000001||dst/@n252/ffffff=six
trees-at-source|--toggle 8112,8114 --shell-answer cancel|dst|@s1;@s1;@s2;@s2|0x00000000|dst/@n1|@s1/f.txt=one @s2/f.txt=two dst/@n1/f.txt=old dst/@n2/f.txt=old !dst/f.txt"
while IFS='|' read -r name options destination selection result boxed disk; do
  rm -rf "$work/src" "$work/dst" "$work/cwd" "$work/d257" "$work/d250" "$work/s252" "$work/s1" "$work/s2x"
  mkdir -p "$work/src/x" "$work/src/d" "$work/dst/a.txt" "$work/cwd"
  echo alpha >"$work/src/a.txt"
  echo gamma >"$work/src/x/c.txt"
  echo twenty-two-bytes-file >"$work/dst/x"
  echo kept >"$work/dst/a.txt/keep.txt"
  [ "$name" = file-onto-folder ] || rm -r "$work/dst/a.txt"
  d257=$(folder_of_length "$work/d257" 257)
  d250=$(folder_of_length "$work/d250" 250)
  s252=$(folder_of_length "$work/s252" 252)
  s1=$(folder_of_length "$work/s1" 258)
  s2=$(folder_of_length "$work/s2x" 258)
  n252=$(basename "$s252") n1=$(basename "$s1") n2=$(basename "$s2")
  case $name in
    *-260) echo seven >"$work/src/d/fffffff"; echo seven >"$work/$s252/fffffff" ;;
    *-259) echo six >"$work/src/d/ffffff"; echo six >"$work/$s252/ffffff" ;;
  esac
  echo one >"$work/$s1/f.txt"
  echo two >"$work/$s2/f.txt"
  mkdir -p "$work/dst/$n1" "$work/dst/$n2"
  echo old >"$work/dst/$n1/f.txt"
  echo old >"$work/dst/$n2/f.txt"
  paths=()
  IFS=';' read -r -a parts <<<"$(expand "$selection")"
  for part in "${parts[@]}"; do paths+=("$work/$part"); done
  # From a current folder of its own, which must stay empty.
  # shellcheck disable=SC2086
  (cd "$work/cwd" && timeout 120 "$root/tavimore" LnCopy --batch --report "$work/$name.report" \
    --dest "$work/$(expand "$destination")" $options "${paths[@]}" >"$work/$name.out" 2>"$work/$name.err")
  expect "$name result" "$result" "$(value "$name" result)"
  box=
  [ -n "$boxed" ] && box=" Tavimore | $(windows_form "$work/$(expand "$boxed")")$made"
  expect "$name box" "$box" "$(values "$name" box)"
  IFS=' ' read -r -a parts <<<"$(expand "$disk")"
  on_disk "$name" "${parts[@]}"
  expect "$name: the host's current folder" "" "$(ls -A "$work/cwd")"
done <<<"$refusals"

finish
