#!/usr/bin/env bash
# Command lines the host must refuse with exit status 2 before calling anything,
# and the report's keys and values on a good call.
source "$(dirname "$0")/lib.sh"

printf 'text\n' >"$work/a.txt"
a=$work/a.txt
mkdir -p "$work/a" && printf 'other\n' >"$work/a/b.txt"
mkdir -p "$work/dst"
d="--dest $work/dst"
# arguments ("~" a space inside one) | what is wrong | the first line on
# stderr, naming the option and its value (the driver's own, where it refuses
# the line before starting Wine)
rows=(
  "|no command"
  "Astext $a|command names are exact|tavimore: unknown command 'Astext' (AsText, LnCopy, CgName or DtTime)"
  "Copy --dest $work $a|not a command|tavimore: unknown command 'Copy' (AsText, LnCopy, CgName or DtTime)"
  "AsText|no path"
  "AsText --bogus $a|unknown option"
  "AsText $a --format|option without its value"
  "AsText --format 2 $a|a format that is not text"
  "AsText --format x1 $a|a format that is not a number"
  "AsText --options 0x1G $a|options word that is not hex"
  "AsText --options 100000000 $a|options word wider than 32 bits"
  "AsText --keys 1 $a|AsText asks no keys"
  "AsText --create $a|--create belongs to CgName"
  "AsText --report|--report without its file"
  "AsText $work/a\\b.txt|a Linux path with a backslash, which Windows reads as a separator|tavimore: '$work/a\\b.txt' has a '\\', which Windows reads as a folder separator"
  "LnCopy --pick abc $d $a|a history entry that is not a count|tavihost: --pick abc: not a decimal count"
  "LnCopy $d --toggle zz $a|a check box that is not an id|tavihost: --toggle zz: not check box ids (8111, 8112, 8114, 8118) joined by ,"
  "LnCopy $d --toggle 8111,8113 $a|a check box that the browser has not|tavihost: --toggle 8111,8113: not check box ids (8111, 8112, 8114, 8118) joined by ,"
  "LnCopy --hold FOO $d $a|a key that cannot be held|tavihost: --hold FOO: not keys (CTRL, SHIFT, NONCONVERT) joined by ,"
  "LnCopy $d --esc-after abc $a|a line count that is not a number|tavihost: --esc-after abc: not a decimal count"
  "LnCopy $d --shell-answer maybe $a|an answer the shell has not|tavihost: --shell-answer maybe: not one of the choices"
  "LnCopy $d --export log $a|an export from neither list nor status|tavihost: --export log: not one of the choices"
  "LnCopy $d --resize 5 $a|a resize without its second offset|tavihost: --resize 5: not DX,DY"
  "LnCopy $d --limit 0 $a|a time limit of no seconds|tavihost: --limit 0: not a number of seconds from 1 to 2000000"
  "LnCopy --esc-after 3 $d $a|the browser's action after the progress window's|tavihost: --dest $(windows_form "$work/dst"): comes after an action of a later dialog"
  "LnCopy --rclick-ok $d $a|an action after the browser's ending|tavihost: --dest $(windows_form "$work/dst"): comes after --rclick-ok, which ends its dialog"
  "LnCopy $d --report /nonexistent/r.txt $a|a report that cannot be made, found before the call|tavihost: --report Z:\\nonexistent\\r.txt: cannot be made"
  "LnCopy $d --raw /nonexistent/r.bin $a|a raw file that cannot be made, found before the call|tavihost: --raw Z:\\nonexistent\\r.bin: cannot be made"
  "DtTime --time 1~2~3~4~5~6~7~8 $a|eight time values|tavihost: --time 1 2 3 4 5 6 7 8: not one to seven values (digits or _) joined by single spaces"
  "DtTime --time a~b~c $a|time values that are not numbers|tavihost: --time a b c: not one to seven values (digits or _) joined by single spaces"
  "DtTime --name foo --time 2021~3~4~5~6~7~8 $a|an action of no dialog of DtTime|tavihost: --name foo: not an option of DtTime"
  "CgName --cancel --name b.txt $a|an action after the dialog's ending|tavihost: --name b.txt: comes after --cancel, which ends its dialog"
)
for row in "${rows[@]}"; do
  IFS='|' read -r line why first <<<"$row"
  read -r -a arguments <<<"$line"
  arguments=("${arguments[@]//\~/ }")
  timeout 120 ./tavimore "${arguments[@]}" >"$work/out" 2>"$work/err"
  expect "$why: exit status" 2 "$?"
  checks=$((checks + 1))
  grep -q '^usage:' "$work/err" || fail "$why: no usage text on stderr"
  if [ -n "$first" ]; then
    expect "$why: one line, then the usage" "$first|usage:" "$(head -n 1 "$work/err")|$(sed -n '2s/ .*//p' "$work/err")"
  fi
  # Each usage text lists the four commands, one a line.
  for command in AsText LnCopy CgName DtTime; do
    expect "$why: $command in the usage" 1 "$(grep -c "^  $command " "$work/err")"
  done
  expect "$why: nothing on stdout" 0 "$(stat -c %s "$work/out")"
  expect "$why: nothing done" "text|" "$(cat "$a")|$(ls "$work/dst")"
  rm -rf "${work:?}/dst" && mkdir -p "$work/dst"
done

# A path with a character that code page 932 cannot hold would reach the
# library as a best-fit substitute, naming another file: refused.
printf 'text\n' >"$work/caf"$'\xc3\xa9'".txt"
tavimore AsText "$work/caf"$'\xc3\xa9'".txt" 2>"$work/err" >/dev/null
expect "path outside code page 932: exit status" 2 "$status"

# A path longer than the library's 259 bytes.
long=$work/$(printf 'n%.0s' $(seq 1 250)).txt
tavimore AsText "$long" 2>"$work/err" >/dev/null
expect "path over 259 bytes: exit status" 2 "$status"

# Ends that are not the command's own, each with its status and the line that
# says why, last on stderr: no temporary folder for the run (nothing runs), and
# a crash of the host after the call (AsText's text already delivered, Wine's
# backtrace on stderr, no second run, no crash dialog waiting for a click).
# environment | status | stdout | last line on stderr | a line stderr also holds
ends=(
  "TMPDIR=$work/missing|9||tavimore: cannot make a temporary folder (TMPDIR=$work/missing): No such file or directory|"
  "TAVIMORE_TEST_FAULT=1|8|text|tavimore: tavihost.exe crashed (exception 0xc0000005); what the command did up to then stays done|Backtrace:"
)
for row in "${ends[@]}"; do
  IFS='|' read -r setting code text last also <<<"$row"
  env "$setting" timeout 120 ./tavimore AsText --batch "$a" >"$work/out" 2>"$work/err"
  expect "$setting: exit status" "$code" "$?"
  expect "$setting: stdout" "$text" "$(cat "$work/out")"
  expect "$setting: last line on stderr" "$last" "$(tail -n 1 "$work/err")"
  if [ -n "$also" ]; then
    expect "$setting: stderr holds '$also'" 1 "$(grep -cx "$also" "$work/err")"
  else
    expect "$setting: one line on stderr" 1 "$(wc -l <"$work/err")"
  fi
  expect "$setting: no second run" 0 "$(grep -c 'did not start' "$work/err")"
done

# Options and format words reach the call: the report tells them after it.
tavimore AsText --options 0x1000 --format 7 --report "$work/r" "$a" >"$work/out"
expect "good call: exit status" 0 "$status"
expect "options 0x1000 toggles 0x20 on success" 0x00001020 "$(report_value "$work/r" options)"
expect "format word kept as the host set it" 7 "$(report_value "$work/r" format)"
expect "result is a handle" yes "$(report_value "$work/r" result | grep -qv '^0x00000000$' && echo yes)"
expect "pathBuffer untouched" "" "$(report_value "$work/r" pathBuffer)"
expect "stdout" "text" "$(cat "$work/out")"
checks=$((checks + 1))
grep -Eq '^elapsed: [0-9]+ ms$' "$work/r" || fail "no elapsed line"
checks=$((checks + 1))
grep -Eq '^peak: [1-9][0-9]* KiB$' "$work/r" || fail "no peak line"

# The peak is the host's own: reading an 8 MiB file into the block raises it by
# at least the file's size above the working set before the call.
head -c $((8 << 20)) /dev/zero | tr '\0' 'a' >"$work/big.txt"
tavimore AsText --report "$work/big.report" "$work/big.txt" >/dev/null
base=$(report_value "$work/big.report" base | cut -d' ' -f1)
peak=$(report_value "$work/big.report" peak | cut -d' ' -f1)
checks=$((checks + 1))
[ $((peak - base)) -ge 8192 ] || fail "peak $peak KiB is not the block's 8192 KiB above base $base KiB"

finish
