#!/usr/bin/env bash
# Command lines the host must refuse with exit status 2 before calling anything,
# and the report's keys and values on a good call.
source "$(dirname "$0")/lib.sh"

printf 'text\n' >"$work/a.txt"
a=$work/a.txt
mkdir -p "$work/a" && printf 'other\n' >"$work/a/b.txt"
mkdir -p "$work/dst"
d="--dest $work/dst"
shy=$'\u00ad'  # a soft hyphen, which a linguistic comparison ignores
yen=$'\u00a5'  # code page 932 best-fits it to '\'
printf 'raw and report\n' >"$work/same"
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
  "DtTime --can${shy}cel $a|an option name with a soft hyphen is no option|tavihost: --can${shy}cel: unknown option"
  "LnCopy --dest $work/${yen}dst $a|a destination that code page 932 holds only as a best fit|tavihost: --dest $(windows_form "$work")\\${yen}dst: has characters that code page 932 cannot hold exactly"
  "LnCopy --cancel --esc-after 1 $a|a progress window's action after the browser's Cancel|tavihost: --esc-after 1: comes after --cancel, which ends the command"
  "LnCopy --keys 4 --limit 1 $d $a|a time limit on the quiet copy, which has no window to cancel|tavihost: --limit 1: the quiet copy (NONCONVERT at OK, --keys 4) has no window to cancel; give no --limit"
  "LnCopy --limit 1 $d --rclick-ok $a|a time limit with OK by right-click: the quiet copy|tavihost: --limit 1: the quiet copy (NONCONVERT at OK, --keys 4) has no window to cancel; give no --limit"
  "AsText --raw $work/same --report $work/same $a|--raw and --report naming one file|tavihost: --report $(windows_form "$work/same"): the same file as --raw"
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
  expect "$why: nothing done" "text|raw and report|" "$(cat "$a")|$(cat "$work/same")|$(ls "$work/dst")"
  rm -rf "${work:?}/dst" && mkdir -p "$work/dst"
done

# A path with a character that code page 932 cannot hold would reach the
# library as a best-fit substitute, naming another file: refused.
printf 'text\n' >"$work/caf"$'\xc3\xa9'".txt"
tavimore AsText "$work/caf"$'\xc3\xa9'".txt" 2>"$work/err" >/dev/null
expect "path outside code page 932: exit status" 2 "$status"
expect "path outside code page 932: named" \
  "tavihost: $(windows_form "$work/caf")"$'\xc3\xa9'".txt: has characters that code page 932 cannot hold exactly" \
  "$(head -n 1 "$work/err")"

# A path longer than the library's 259 bytes.
long=$work/$(printf 'n%.0s' $(seq 1 250)).txt
tavimore AsText "$long" 2>"$work/err" >/dev/null
expect "path over 259 bytes: exit status" 2 "$status"
expect "path over 259 bytes: named" "tavihost: $(windows_form "$long"): longer than 259 bytes in code page 932" \
  "$(head -n 1 "$work/err")"

# A name with U+00A5 read through code page 932's best fit would name another
# file: DIR\..\y\x.txt. Refused, and neither file touched.
mkdir -p "$work/DIR" "$work/y"
printf 'odd\n' >"$work/DIR/..${yen}y${yen}x.txt"
printf 'other\n' >"$work/y/x.txt"
for command in "AsText" "CgName --name z.txt"; do
  # shellcheck disable=SC2086
  tavimore $command "$work/DIR/..${yen}y${yen}x.txt" >"$work/out" 2>"$work/err"
  expect "$command on a name with U+00A5: exit status" 2 "$status"
  expect "$command on a name with U+00A5: named" \
    "tavihost: $(windows_form "$work/DIR")\\..${yen}y${yen}x.txt: has characters that code page 932 cannot hold exactly" \
    "$(head -n 1 "$work/err")"
  expect "$command on a name with U+00A5: nothing done" "|odd|other|" \
    "$(cat "$work/out")|$(cat "$work/DIR/..${yen}y${yen}x.txt")|$(cat "$work/y/x.txt")|$(ls "$work/y" "$work/DIR" | grep -c z.txt | sed 's/^0$//')"
done

# An empty destination is said to be empty.
tavimore LnCopy --dest "" "$a" >/dev/null 2>"$work/err"
expect "empty --dest: exit status" 2 "$status"
expect "empty --dest: why" "tavihost: --dest : an empty path" "$(head -n 1 "$work/err")"

# A relative path in a working folder with a '\': the folder is named.
mkdir -p "$work/w\\x" && printf 'text\n' >"$work/w\\x/a.txt"
(cd "$work/w\\x" && timeout 120 "$root/tavimore" AsText --batch a.txt >"$work/out" 2>"$work/err")
expect "working folder with a backslash: exit status" 2 "$?"
expect "working folder with a backslash: named" \
  "tavimore: the working folder '$work/w\\x' has a '\\', which Windows reads as a folder separator (given 'a.txt')" \
  "$(head -n 1 "$work/err")"

# Outputs that are devices are written as they are.
for option in --report --raw; do
  tavimore AsText "$option" /dev/null "$a" >"$work/out" 2>"$work/err"
  expect "AsText $option /dev/null: exit status" 0 "$status"
  expect "AsText $option /dev/null: the command ran" text "$(cat "$work/out")"
  expect "AsText $option /dev/null: stderr" "" "$(cat "$work/err")"
done
# One that cannot be written after the call has run (larger than the file
# size limit of the run, 4 MiB) gets a status of its own, not a usage error.
head -c $((6 << 20)) /dev/zero | tr '\0' 'a' >"$work/six.txt"
(
  trap '' XFSZ
  ulimit -f 4096
  tavimore AsText --raw "$work/six.raw" "$work/six.txt" >/dev/null 2>"$work/err"
  exit "$status"
)
expect "--raw over the size limit: exit status" 10 "$?"
expect "--raw over the size limit: said on stderr" 1 \
  "$(grep -cxF "tavihost: --raw $(windows_form "$work/six.raw"): cannot be written; the command has run" "$work/err")"

# Check box ids in the 0x form, as --options takes hex: clicked twice, the
# box is as it was, and the copy runs.
tavimore LnCopy --dest "$work/dst" --toggle 0x8112,0X8112 "$a" >/dev/null 2>"$work/err"
expect "--toggle 0x8112: exit status" 0 "$status"
expect "--toggle 0x8112: copied" text "$(cat "$work/dst/a.txt" 2>&1)"

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
