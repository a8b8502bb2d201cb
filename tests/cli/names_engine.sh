#!/usr/bin/env bash
# Names that code page 932 cannot hold (U+00A5, Hangul, an emoji, an accented
# letter) inside a selected folder, against a name it holds: LnCopy's copy,
# move and update and DtTime's "直下" act on each entry under its exact name,
# or report it; never on another file. The sandbox holds decoys where the
# system's best fit would lead (U+00A5 read as "\"): top/y/x.txt, outside
# the selection, and top/d1/y/x.txt, beside the chosen folder top/d1/d2.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/lncopy_lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/dttime_lib.sh"
set_history

top=$work/top
src=$top/src
dst=$top/d1/d2
D=$(windows_form "$dst")
typed="2021 3 4 5 6 7 8"

# state_of DIR [FIND-ARGS...]: each file under DIR, its path, time (ns) and content.
state_of() {
  local dir=$1 f
  shift
  (cd "$dir" && find . "$@" -type f -print0 | sort -z |
    while IFS= read -r -d '' f; do printf '%s %s %s\n' "$f" "$(stat -c %.9Y "$f")" "$(md5sum <"$f" | cut -c1-32)"; done)
}
outside_state() { state_of "$top" \( -path ./src -o -path ./d1/d2 \) -prune -o; }

# fresh ENTRY...: the sandbox, with each entry a file in src (2025); "/" puts it in a folder.
fresh() {
  local entry
  rm -rf "$top" && mkdir -p "$src" "$top/y" "$top/d1/y" "$dst"
  echo "outside" >"$top/y/x.txt" && touch -d '2019-05-06 07:08:09' "$top/y/x.txt"
  echo "beside" >"$top/d1/y/x.txt" && touch -d '2019-05-06 07:08:09' "$top/d1/y/x.txt"
  for entry in "$@"; do
    mkdir -p "$(dirname "$src/$entry")"
    echo "content of $entry" >"$src/$entry" && touch -d '2025-01-01 00:00:00' "$src/$entry"
  done
}

# old_copies WHEN ENTRY...: each entry already at the destination, older or newer.
old_copies() {
  local when=$1 entry
  shift
  for entry in "$@"; do
    mkdir -p "$(dirname "$dst/$entry")"
    echo "old $entry" >"$dst/$entry" && touch -d "$when" "$dst/$entry"
  done
}

# lines MARK SHOWN...: the log lines expected (folders first made), sorted, one a line.
lines() {
  local mark=$1 shown
  shift
  {
    [ "$mark" = "→" ] && for shown in "$@"; do [[ $shown == */* ]] && echo "●$D\\${shown%%/*}"; done
    for shown in "$@"; do echo "$mark$D\\${shown//\//\\}"; done
  } | sort -u
}

# logged NAME: the run's exported log lines after the status text, sorted.
logged() {
  value "$1" exported | sed 's/\\r\\n/\n/g' | tail -n +4 | sort
}

# status_text NAME: the exported status text's three lines, joined by " | ".
status_text() {
  value "$1" exported | sed 's/\\r\\n/\n/g' | head -n 3 | paste -sd '|' | sed 's/|/ | /g'
}

# label | entries in src | the same as the log shows them
names=(
  "yen in a file name|..¥y¥x.txt|..?y?x.txt"
  "yen in a folder name|..¥y/x.txt|..?y/x.txt"
  "Korean|한국.txt 폴더/a.txt 폴더/b.txt|??.txt ??/a.txt ??/b.txt"
  "emoji|😀.txt|??.txt"
  "accented beside plain|café.txt cafe.txt|caf?.txt cafe.txt"
  "code page 932 control|ソース表.txt 表/x.txt|ソース表.txt 表/x.txt"
)
commands=(copy move update-older update-newer inside)
runs=0

for row in "${names[@]}"; do
  IFS='|' read -r label entry_list shown_list <<<"$row"
  read -r -a entries <<<"$entry_list"
  read -r -a shown <<<"$shown_list"
  folders=$(printf '%s\n' "${entries[@]}" | grep / | cut -d/ -f1 | sort -u | grep -c .)
  for command in "${commands[@]}"; do
    name="$label, $command"
    run=run$((++runs))
    fresh "${entries[@]}"
    case $command in
      update-older) old_copies '2020-01-01 00:00:00' "${entries[@]}" ;;
      update-newer) old_copies '2030-01-01 00:00:00' "${entries[@]}" ;;
    esac
    outside=$(outside_state)
    sources=$(state_of "$src")
    destination=$(state_of "$dst")
    case $command in
      copy | update-*) lncopy "$run" --dest "$dst" --export status "$src" ;;
      move) lncopy "$run" --dest "$dst" --toggle 8111 --export status "$src" ;;
      inside) dttime "$work/$run.report" "--time=$typed;--inside" "$src" ;;
    esac
    expect "$name: exit status" 0 "$status"
    expect "$name: nothing outside the selection and the chosen folder changed" "$outside" "$(outside_state)"
    if [ "$command" = inside ]; then
      for entry in "${entries[@]}"; do
        want=$typed
        [[ $entry == */* ]] && want="2025 1 1 0 0 0 0"
        expect "$name: $entry's time" "$want" "$(disk_time "$src/$entry")"
      done
      expect "$name: nothing copied" "$destination" "$(state_of "$dst")"
      continue
    fi
    files=${#entries[@]}
    case $command in
      copy | move) done_files=$files made=$folders mark="→" ;;
      update-older) done_files=$files made=0 mark="◎" ;;
      update-newer) done_files=0 made=0 mark= ;;
    esac
    word=コピー
    [ "$command" = move ] && word=" 移動 "
    expect "$name: status" "$(printf '作成フォルダー %3u / %2u | %sファイル %4u / %2u | エラー:%2u ' \
      "$made" "$folders" "$word" "$done_files" "$files" 0)" "$(status_text "$run")"
    want_lines=
    [ -n "$mark" ] && want_lines=$(lines "$mark" "${shown[@]}")
    expect "$name: log lines" "$want_lines" "$(logged "$run")"
    for entry in "${entries[@]}"; do
      want="content of $entry"
      [ "$command" = update-newer ] && want="old $entry"
      expect "$name: $entry at the destination" "$want" "$(cat "$dst/$entry" 2>/dev/null)"
      if [ "$command" = move ]; then
        missing "$name" "$src/$entry"
      fi
    done
    [ "$command" = move ] || expect "$name: the sources unchanged" "$sources" "$(state_of "$src")"
  done
done

# An exact path past 259 UTF-16 units cannot be reached: its line is "×" (the
# path shown as far as pathBuffer holds it), the error is counted, nothing is
# written. Its folder, of a name code page 932 holds, is made as usual.
sub=$(printf 's%.0s' $(seq 1 200))
fresh "$sub/$(printf '한%.0s' $(seq 1 80)).txt"
lncopy too-long --dest "$dst" --export status "$src"
full="$D\\$sub\\$(printf '?%.0s' $(seq 1 80)).txt"
expect "too long: status" "$(printf '作成フォルダー %3u / %2u | コピーファイル %4u / %2u | エラー:%2u   エラー が有りました。' 1 1 0 1 1)" \
  "$(status_text too-long)"
expect "too long: lines" "$(printf '%s\n' "●$D\\$sub" "×${full:0:259}" | sort)" "$(logged too-long)"
expect "too long: nothing written" "" "$(ls "$dst/$sub")"

finish
