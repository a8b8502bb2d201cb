#!/usr/bin/env bash
# The shipped library is a 32-bit DLL with the four exports at their ordinals,
# each removing its six 32-bit arguments on return (ret $0x18), also where the
# suite runs the x86_64 build (a machine that cannot run i386 programs). Reads
# the export table and the exports' code of DLL (default: the 32-bit build's);
# runs nothing.
source "$(dirname "$0")/lib.sh"
dll=${1:-$root/build/Tavimore.dll}
table=$(i686-w64-mingw32-objdump -p "$dll" 2>/dev/null)
expect "file format" "pei-i386" "$(sed -n 's/.*file format //p' <<<"$table" | head -1)"
expect "ordinal base" "6" "$(sed -n 's/^Ordinal Base[[:space:]]*//p' <<<"$table")"
slots=$(grep -oE '\+base\[ *[0-9]+\]' <<<"$table" | tr -dc '0-9\n' | tr '\n' ' ')
expect "filled ordinals" "6 7 10 12 " "$slots"
names=$(grep -E '^\s+\[ *[0-9]+\] [A-Za-z]+$' <<<"$table" | awk '{print $NF}' | sort | tr '\n' ' ')
expect "export names" "AsText CgName DtTime LnCopy " "$names"
# Each export's code, from its address to its first return.
base=$(sed -n 's/^ImageBase[[:space:]]*//p' <<<"$table")
while read -r slot rva; do
  name=$(sed -nE "s/^\s+\[ *$slot\] ([A-Za-z]+)$/\1/p" <<<"$table")
  start=$((0x$base + 0x$rva))
  ret=$(i686-w64-mingw32-objdump -d --no-show-raw-insn --start-address=$start --stop-address=$((start + 8192)) "$dll" |
        grep -m1 -oE '\sret[lw]?(\s+\$0x[0-9a-f]+)?$' | tr -s ' \t' ' ')
  expect "return of ${name:-slot $slot}" " ret \$0x18" "$ret"
done < <(sed -nE 's/^\s+\[ *([0-9]+)\] \+base\[ *[0-9]+\] ([0-9a-f]+) Export RVA$/\1 \2/p' <<<"$table")
finish
