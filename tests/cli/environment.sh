#!/usr/bin/env bash
# Runs in environments other than the suite's own, each in a fresh prefix of
# its own (so that no other test shares its desktop): the caller's locale C
# with a prefix path of non-ASCII characters (the prefix is still set up
# whole: the fonts replaced and the crash dialog off), a TMPDIR holding a
# space without a display, and a display that cannot be reached (no host
# window: a status of its own, nothing done).
source "$(dirname "$0")/lib.sh"

printf 'text\n' >"$work/a.txt"
prefix="$work/接頭辞/prefix"
mkdir -p "$work/t mp" "$work/接頭辞"

# The prefix is made and set up by a run in the C locale.
env LC_ALL=C LANG=C WINEPREFIX="$prefix" timeout 300 ./tavimore AsText --batch "$work/a.txt" \
  >"$work/out" 2>"$work/err"
expect "LC_ALL=C, non-ASCII prefix: exit status" 0 "$?"
expect "LC_ALL=C, non-ASCII prefix: stdout" text "$(cat "$work/out")"
WINEPREFIX="$prefix" wineserver -w
# key in the prefix's user.reg | value line
keys=(
  '[Software\\Wine\\WineDbg]|"ShowCrashDialog"=dword:00000000'
  '[Software\\Wine\\Fonts\\Replacements]|"MS PGothic"="IPAPGothic"'
)
for row in "${keys[@]}"; do
  IFS='|' read -r key line <<<"$row"
  expect "LC_ALL=C, non-ASCII prefix: $key $line" 1 \
    "$(KEY=$key LINE=$line awk 'index($0, ENVIRON["KEY"]) == 1 { inside = 1; next } /^\[/ { inside = 0 }
      inside && $0 == ENVIRON["LINE"] { found = 1 } END { print found + 0 }' "$prefix/user.reg")"
done

# environment | status | stdout | stderr's last line
runs=(
  "TMPDIR=$work/t mp|0|text|"
  "DISPLAY=:4242|11||tavihost: cannot create the host window"
)
for row in "${runs[@]}"; do
  IFS='|' read -r setting code text last <<<"$row"
  env -u DISPLAY "$setting" WINEPREFIX="$prefix" timeout 300 ./tavimore AsText "$work/a.txt" \
    >"$work/out" 2>"$work/err"
  expect "$setting: exit status" "$code" "$?"
  expect "$setting: stdout" "$text" "$(cat "$work/out")"
  expect "$setting: stderr's last line" "$last" "$(tail -n 1 "$work/err" | sed 's/ (error.*//')"
  WINEPREFIX="$prefix" wineserver -k 2>/dev/null
done

finish
