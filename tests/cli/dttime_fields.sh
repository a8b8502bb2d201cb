#!/usr/bin/env bash
# The time fields: moving on once a field has its last digit (or staying with
# the text selected when the value is refused), and the checks at OK.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/dttime_lib.sh"

file=$work/f.txt
fresh() { echo f >"$file" && touch -d '2020-01-02 03:04:05' "$file"; }

# Typed values (the first fields only) | focus afterwards: control and selection.
# The file's own fields read 2020 1 2 3 4 5 0, so the field moved to is selected whole.
advance=(
  "2021|1011 0-1"
  "0000|1011 0-1"
  "1979|1010 0-4"
  "2021 3|1011 1-1"
  "2021 02|1013 0-1"
  "2021 12|1013 0-1"
  "2021 13|1011 0-2"
  "2021 1 32|1013 0-2"
  "2021 1 2 24|1014 0-2"
  "2021 1 2 3 61|1015 0-2"
  "2021 1 2 3 4 59|1017 0-1"
  "2021 1 2 3 4 5 999|1017 3-3"
)
fresh
for row in "${advance[@]}"; do
  IFS='|' read -r typed focus <<<"$row"
  dttime "$work/r.txt" "--time=$typed;--cancel" "$file"
  expect "typing $typed: focus" "$focus" "$(report_value "$work/r.txt" focus)"
done

# Typed time | refused: control and selection ("" accepted) | the file's time
# afterwards | the refusal on stderr: the field's unit label and its selected
# text, or the host's line when a field does not read what was typed (the
# year takes four digits): the dialog is cancelled, exit 6
at_ok=(
  "1979 1 1 0 0 0 0|1010 0-4|2020 1 2 3 4 5 0|年 \"1979\""
  "1980 1 1 0 0 0 0||1980 1 1 0 0 0 0"
  "2106 12 31 23 59 59 999||2106 12 31 23 59 59 999"
  "2107 1 1 0 0 0 0|1010 0-4|2020 1 2 3 4 5 0"
  "2021 0 1 0 0 0 0|1011 0-1|2020 1 2 3 4 5 0|月 \"0\""
  "2021 _ 1 0 0 0 0|1011 0-0|2020 1 2 3 4 5 0|月 \"\""
  "2021 1 0 0 0 0 0|1013 0-1|2020 1 2 3 4 5 0"
  "2021 1 1 0 0 60 0|1016 0-2|2020 1 2 3 4 5 0|秒 \"60\""
  "2021 4 31 0 0 0 0|1013 0-2|2020 1 2 3 4 5 0"
  "2023 2 29 0 0 0 0|1013 0-2|2020 1 2 3 4 5 0|日 \"29\""
  "2100 2 29 0 0 0 0|1013 0-2|2020 1 2 3 4 5 0"
  "2000 2 29 0 0 0 0||2000 2 29 0 0 0 0"
  "2024 2 29 12 30 0 _||2024 2 29 12 30 0 0"
  "20211 1 1 0 0 0 0||2020 1 2 3 4 5 0|tavihost: not done: --time 20211 1 1 0 0 0 0: field 1010 reads \"2021\""
)
for row in "${at_ok[@]}"; do
  IFS='|' read -r typed refused expected on_stderr <<<"$row"
  fresh
  dttime "$work/r.txt" "--time=$typed" "$file"
  expect "OK with $typed: refused" "$refused" "$(report_value "$work/r.txt" refused)"
  exit_status=$([ -z "$refused" ] && echo 0 || echo 1)
  [[ $on_stderr == tavihost:* ]] && exit_status=6 || on_stderr=${on_stderr:+"Tavimore: refused: $on_stderr"}
  [ -n "$on_stderr" ] && expect "OK with $typed: stderr" "$on_stderr" "$(cat "$work/stderr")"
  expect "OK with $typed: exit" "$exit_status" "$status"
  expect "OK with $typed: file time" "$expected" "$(disk_time "$file")"
done

# Every field shows its whole value, the widest ones included (the report's
# cut: line names a field whose text is wider than what it shows).
fresh
dttime "$work/r.txt" "--time=2088 12 28 23 58 58 888;--cancel" "$file"
expect "widest values: fields" "2088 12 28 23 58 58 888" "$(report_value "$work/r.txt" fields)"
expect "widest values: no field cut" none "$(report_value "$work/r.txt" cut)"

# A first item that is not there: the fields start empty and without their
# length limits. Typed values | fields at OK | refused ("" accepted) | exit
missing=(
  "_|- - - - - - -||0"
  "2021 1 1 0 0 0 1000|2021 1 1 0 0 0 1000|1017 0-4|1"
  "20211|20211 - - - - - -|1010 0-5|1"
)
for row in "${missing[@]}"; do
  IFS='|' read -r typed fields refused exit_status <<<"$row"
  dttime "$work/r.txt" "--time=$typed" "$work/none.txt"
  expect "missing item, $typed: fields" "$fields" "$(report_value "$work/r.txt" fields)"
  expect "missing item, $typed: refused" "$refused" "$(report_value "$work/r.txt" refused)"
  expect "missing item, $typed: exit" "$exit_status" "$status"
done
finish
