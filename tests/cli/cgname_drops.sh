#!/usr/bin/env bash
# Paths dropped on the name dialog: the final component of the first replaces
# the field's selection (the whole proposed name when nothing was typed) or
# goes in at the caret, and is used like typed text. The path is fetched
# outside messageBuffer, so one longer than the field still gives its name; a
# drive root's name is empty and replaces the selection with nothing.
source "$(dirname "$0")/cgname_lib.sh"

long=/$(head -c 200 /dev/zero | tr '\0' 'd')/$(head -c 100 /dev/zero | tr '\0' 'e')/short.txt
ok='result=0x00000001;name'
rows=(
  "first-of-several,z,rename,a.txt,a.txt,--drop;/x/first.txt|/x/second.txt,$ok=first.txt,first.txt=a.txt"
  "folder,z,rename,a.txt,a.txt,--drop;/x/some folder,$ok=some folder,some folder=a.txt"
  "at-the-caret,z,rename,a.txt,a.txt,--name;pre-;--drop;/x/表ソ.txt,$ok=pre-表ソ.txt,pre-表ソ.txt=a.txt"
  "longer-than-the-field,z,rename,a.txt,a.txt,--drop;$long,$ok=short.txt;messageBuffer=@\\short.txt,short.txt=a.txt"
  "drive-root,z,rename,a.txt,a.txt,--drop;N:\\,result=0x00000000;refused=1005 0-0,a.txt=a.txt"
)
for row in "${rows[@]}"; do run_row "$row"; done
finish
