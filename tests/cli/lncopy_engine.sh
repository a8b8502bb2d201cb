# LnCopy with the library's own engine, through ./tavimore: copy and move with
# and without the progress window, the quiet run's box, the 0x20 toggle, the
# rules the host's options word starts with, a single folder below, a
# destination that does not exist yet, a drive root, a full pathBuffer, and
# moves that must not lose a file.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/lncopy_lib.sh"
set_history

# fresh_sources: src/a.txt, src/b.txt, src/d/c.txt
fresh_sources() {
  rm -rf "$work/src" "$work/dst"
  mkdir -p "$work/src/d" "$work/dst"
  echo alpha >"$work/src/a.txt"
  echo beta >"$work/src/b.txt"
  echo gamma >"$work/src/d/c.txt"
}
src=$(windows_form "$work/src")
dst=$(windows_form "$work/dst")

# name | extra options | expected result | title of the progress window ("" for none) | files moved?
table="copy-window||0x00000001| コピーしています|no
move-window|--toggle 8111|0x00000001| 移動 しています|yes
copy-quiet-keys|--keys 4|0x00000005||no
copy-quiet-rclick|--rclick-ok|0x00000005||no
quiet-and-rclick|--keys 4 --rclick-ok|0x00000001| コピーしています|no
move-quiet|--toggle 8111 --keys 4|0x00000005||yes
ctrl-keys|--keys 2|0x00000003| コピーしています|no"
while IFS='|' read -r name extra result progress moved; do
  fresh_sources
  # shellcheck disable=SC2086
  lncopy "$name" --dest "$work/dst/new/deeper" $extra "$work/src/a.txt" "$work/src/b.txt" "$work/src/d"
  check_run "$name" "$result" "$dst\\new\\deeper\\a.txt"
  exists "$name" "$work/dst/new/deeper/a.txt" "$work/dst/new/deeper/b.txt" "$work/dst/new/deeper/d/c.txt"
  expect "$name copied bytes" "alpha" "$(cat "$work/dst/new/deeper/a.txt" 2>/dev/null)"
  if [ "$moved" = yes ]; then missing "$name" "$work/src/a.txt" "$work/src/d/c.txt"
  else exists "$name" "$work/src/a.txt" "$work/src/d/c.txt"; fi
  # The progress window's title is the last title the run set; a quiet run has none.
  titles=$(values "$name" title)
  case $progress in
    "") checks=$((checks + 1)); [[ $titles != *"しています"* ]] || fail "$name: a progress window opened: $titles" ;;
    *) expect "$name progress title" "$progress" "${titles##* ; }" ;;
  esac
  expect "$name box" "" "$(value "$name" box)"
  # options bit 0x20 follows CTRL (key mask bit 1) only.
  case $extra in *"--keys 2"*) want=0x00000020 ;; *) want=0x00000000 ;; esac
  expect "$name options" "$want" "$(value "$name" options)"
done <<<"$table"

# The host window's text follows the move box at once (the host's titles come first).
expect "move-window host texts" ' コピー ;   移 動' "$(values move-window title | awk -F' ; ' '{ print $1 " ; " $2 }')"

# The host's options word sets the rules the run starts with: 0x100 starts
# with update only (an older file is refreshed, a missing one not created),
# 0x1000 leaves new on. The browser's boxes at OK show the same.
# options | checks at OK | a.txt afterwards (older there) | b.txt afterwards (missing there)
table="100|8111=0 8112=0 8114=1|alpha|
1000|8111=0 8112=1 8114=1|alpha|beta"
while IFS='|' read -r options boxes a_text b_text; do
  fresh_sources
  echo old >"$work/dst/a.txt" && touch -d '2020-01-02 03:04:05' "$work/dst/a.txt"
  lncopy "options-$options" --options "$options" --dest "$work/dst" "$work/src/a.txt" "$work/src/b.txt"
  check_run "options-$options" 0x00000001 "$dst\\a.txt"
  expect "options-$options checks" "$boxes" "$(value "options-$options" checks)"
  expect "options-$options a.txt" "$a_text" "$(cat "$work/dst/a.txt")"
  expect "options-$options b.txt" "$b_text" "$(cat "$work/dst/b.txt" 2>/dev/null)"
done <<<"$table"

# One folder: below is offered and checked; its content lands in the
# destination, and pathBuffer is the folder with its final backslash.
fresh_sources
lncopy below --dest "$work/dst" "$work/src/d"
check_run below 0x00000001 "$dst\\"
expect "below checks" "8111=0 8112=1 8114=1 8118=1" "$(value below checks)"
exists below "$work/dst/c.txt"
missing below "$work/dst/d"

# A quiet run with an error reports it in the box; the item that vanished is
# counted, the other one copied.
fresh_sources
lncopy quiet-error --dest "$work/dst" --keys 4 "$work/src/a.txt" "$work/src/gone.txt"
check_run quiet-error 0x00000005 "$dst\\a.txt"
expect "quiet-error box" " Tavimore | 作成フォルダー   0 /  0\r\nコピーファイル    1 /  1\r\nエラー: 1   エラー が有りました。" \
  "$(value quiet-error box)"

# A drive root has no entry of its own: moved between other items, it is one
# error without a log line, none of its files move, and the items after it
# still go into the destination.
fresh_sources
mkdir -p "$work/drive/sub" && echo root >"$work/drive/r.txt" && echo inner >"$work/drive/sub/i.txt"
ln -sfn "$work/drive" "$prefix/dosdevices/q:"
lncopy drive-root --dest "$work/dst" --toggle 8111 --export status "$work/src/a.txt" 'Q:\' "$work/src/b.txt" "$work/src/d"
rm -f "$prefix/dosdevices/q:"
expect "drive-root pathBuffer" "$dst\\a.txt" "$(value drive-root pathBuffer)"
exists drive-root "$work/drive/r.txt" "$work/drive/sub/i.txt" "$work/dst/a.txt" "$work/dst/b.txt" "$work/dst/d/c.txt"
missing drive-root "$work/dst/r.txt" "$work/dst/sub" "$work/src/a.txt" "$work/src/b.txt" "$work/src/d/c.txt"
expect "drive-root status and log" "作成フォルダー   1 /  1\\r\\n 移動 ファイル    3 /  3\\r\\nエラー: 1   エラー が有りました。\\r\\n→$dst\\a.txt\\r\\n→$dst\\b.txt\\r\\n●$dst\\d\\r\\n→$dst\\d\\c.txt" \
  "$(value drive-root exported)"

# A destination that fills pathBuffer: the folder is made and used, the
# first item's name is cut rather than written past the field.
fresh_sources
long=$work/dst/$(printf 'x%.0s' $(seq 1 60))/$(printf 'y%.0s' $(seq 1 60))/$(printf 'z%.0s' $(seq 1 60))
long_windows=$(windows_form "$long")
pad=$((258 - ${#long_windows} - 1))
long=$long/$(printf 'w%.0s' $(seq 1 $pad))
long_windows=$(windows_form "$long")
expect "long destination length" 258 "${#long_windows}"
lncopy long --dest "$long" "$work/src/a.txt"
check_run long 0x00000001 "$long_windows\\"
exists long "$long"

# A move whose source cannot be deleted (read-only; Wine reads a file without
# write permission so): the copy stays at the destination and so does the
# source; the line is "×", the error counted, the file not counted as moved.
fresh_sources
chmod a-w "$work/src/a.txt"
lncopy move-read-only --dest "$work/dst" --toggle 8111 --export status "$work/src/a.txt" "$work/src/b.txt"
chmod u+w "$work/src/a.txt"
expect "move-read-only status and log" "作成フォルダー   0 /  0\\r\\n 移動 ファイル    1 /  2\\r\\nエラー: 1   エラー が有りました。\\r\\n×$dst\\a.txt\\r\\n→$dst\\b.txt" \
  "$(value move-read-only exported)"
expect "move-read-only: the copy" alpha "$(cat "$work/dst/a.txt" 2>/dev/null)"
expect "move-read-only: the source" alpha "$(cat "$work/src/a.txt" 2>/dev/null)"
exists move-read-only "$work/dst/b.txt"
missing move-read-only "$work/src/b.txt"

# A name is never a search pattern: a selected "a?.txt" names no file, though
# src holds ab.txt and dst a newer ab.txt; it is an error, not a skip of ab.txt.
fresh_sources
echo new >"$work/src/ab.txt"
echo old >"$work/dst/ab.txt" && touch -d '2030-01-01' "$work/dst/ab.txt"
lncopy wildcard --dest "$work/dst" --export status "$work/src/a?.txt"
expect "wildcard status" "作成フォルダー   0 /  0\\r\\nコピーファイル    0 /  0\\r\\nエラー: 1   エラー が有りました。" \
  "$(value wildcard exported)"
expect "wildcard: ab.txt untouched" old "$(cat "$work/dst/ab.txt")"

# Update onto what stands at the destination, a.txt newer or older there:
# a folder of the file's name is a failed line ("×", an error) only when
# update is on and the file is newer; otherwise the file is left alone with
# no line. A read-only file there is made writable for its replacement (what
# the replacement then keeps of the source's attributes is the system's copy's).
# name | toggles | at the destination | the source older? | source mode | log after the status | dst/a.txt mode
table="folder-newer||folder|no|644|\r\n×D\a.txt|folder
folder-older||folder|yes|644||folder
folder-newer-no-update|8114|folder|no|644||folder
readonly-from-writable||r--r--r--|no|644|\r\n◎D\a.txt|rw-r--r--"
while IFS='|' read -r name toggles there older mode lines after; do
  fresh_sources
  if [ "$there" = folder ]; then mkdir "$work/dst/a.txt"
  else echo old >"$work/dst/a.txt" && chmod 444 "$work/dst/a.txt"; fi
  touch -d '2021-01-02 03:04:05' "$work/dst/a.txt"
  [ "$older" = yes ] && touch -d '2020-01-02 03:04:05' "$work/src/a.txt"
  chmod "$mode" "$work/src/a.txt"
  # shellcheck disable=SC2086
  lncopy "$name" --dest "$work/dst" ${toggles:+--toggle $toggles} --export status "$work/src/a.txt"
  exported=$(value "$name" exported)
  errors=$([[ $lines == *×* ]] && echo 1 || echo 0)
  expect "$name errors" "エラー: $errors" "$(grep -o 'エラー: [0-9]*' <<<"$exported")"
  rest=${exported#*エラー: }
  case $rest in *'\r\n'*) log='\r\n'${rest#*\\r\\n} ;; *) log= ;; esac
  expect "$name log" "${lines//D\\/"$dst"\\}" "$log"
  if [ "$after" = folder ]; then
    checks=$((checks + 1)); [ -d "$work/dst/a.txt" ] || fail "$name: dst/a.txt is no longer a folder"
  else
    expect "$name mode" "$after" "$(stat -c %A "$work/dst/a.txt" | cut -c2-10)"
    expect "$name bytes" alpha "$(cat "$work/dst/a.txt")"
  fi
done <<<"$table"

# Moves never lose a file: into the source's own tree, and into its own folder.
fresh_sources
lncopy move-into-itself --dest "$work/src/d/inner" --toggle 8111 --attributes 0 "$work/src/d"
exists move-into-itself "$work/src/d/c.txt"
expect "move-into-itself bytes" gamma "$(cat "$work/src/d/c.txt")"
fresh_sources
lncopy move-onto-itself --dest "$work/src" --toggle 8111 "$work/src/a.txt"
exists move-onto-itself "$work/src/a.txt"
expect "move-onto-itself bytes" alpha "$(cat "$work/src/a.txt")"
fresh_sources
lncopy move-onto-itself-quiet --dest "$work/src" --toggle 8111 --keys 4 "$work/src/a.txt" "$work/src/d"
expect "move-onto-itself-quiet bytes" "alpha gamma" "$(cat "$work/src/a.txt" "$work/src/d/c.txt" 2>&1 | paste -sd' ')"

finish
