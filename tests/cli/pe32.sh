#!/usr/bin/env bash
# The shipped library is a 32-bit DLL with the four exports at their ordinals,
# also where the suite runs the x86_64 build (a machine that cannot run i386
# programs). Reads the 32-bit build's export table; runs nothing.
source "$(dirname "$0")/lib.sh"
dll=$root/build/Tavimore.dll
table=$(i686-w64-mingw32-objdump -p "$dll" 2>/dev/null)
expect "file format" "pei-i386" "$(sed -n 's/.*file format //p' <<<"$table" | head -1)"
expect "ordinal base" "6" "$(sed -n 's/^Ordinal Base[[:space:]]*//p' <<<"$table")"
slots=$(grep -oE '\+base\[ *[0-9]+\]' <<<"$table" | tr -dc '0-9\n' | tr '\n' ' ')
expect "filled ordinals" "6 7 10 12 " "$slots"
names=$(grep -E '^\s+\[ *[0-9]+\] [A-Za-z]+$' <<<"$table" | awk '{print $NF}' | sort | tr '\n' ' ')
expect "export names" "AsText CgName DtTime LnCopy " "$names"
finish
