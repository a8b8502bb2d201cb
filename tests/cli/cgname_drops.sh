#!/usr/bin/env bash
# Paths dropped on the name dialog: the final component of the first replaces
# the field's selection (the whole proposed name when nothing was typed) or
# goes in at the caret, and is used like typed text. The path is fetched
# outside messageBuffer, so a 259-byte one still gives its name; a drive root's
# name is empty and replaces the selection with nothing. A path longer than
# 259 bytes, or one whose name code page 932 does not hold exactly (it would
# come back as another name: "¥" as "\", Hangul and emoji as "?"), is ignored
# with a beep: the field keeps what was typed.
source "$(dirname "$0")/cgname_lib.sh"

long=/$(head -c 200 /dev/zero | tr '\0' 'd')/$(head -c 100 /dev/zero | tr '\0' 'e')/short.txt
# Z:\x\FFF...\NAME: 259 bytes, and one byte more.
f240=$(head -c 240 /dev/zero | tr '\0' 'f')
of259=/x/$f240/n259-byte.txt of260=/x/$f240/n260-bytes.txt
ok='result=0x00000001;name'
beep='beep=0x00000030'
rows=(
  "first-of-several,z,rename,a.txt,a.txt,--drop;/x/first.txt|/x/second.txt,$ok=first.txt,first.txt=a.txt"
  "folder,z,rename,a.txt,a.txt,--drop;/x/some folder,$ok=some folder,some folder=a.txt"
  "at-the-caret,z,rename,a.txt,a.txt,--name;pre-;--drop;/x/表ソ.txt,$ok=pre-表ソ.txt;beep=,pre-表ソ.txt=a.txt"
  "of-259-bytes,z,rename,a.txt,a.txt,--drop;$of259,$ok=n259-byte.txt;beep=,n259-byte.txt=a.txt"
  "of-260-bytes,z,rename,a.txt,a.txt,--name;b.txt;--drop;$of260,$ok=b.txt;$beep,b.txt=a.txt;!n260-bytes.txt"
  "longer-than-the-field,z,rename,a.txt,a.txt,--name;b.txt;--drop;$long,$ok=b.txt;$beep,b.txt=a.txt;!short.txt"
  "yen-sign,z,rename,a.txt,a.txt,--name;b.txt;--drop;/x/..¥y¥x.txt,$ok=b.txt;$beep,b.txt=a.txt;!b.txtx.txt"
  "hangul,z,rename,a.txt,a.txt,--name;b.txt;--drop;/x/한국.txt,$ok=b.txt;$beep,b.txt=a.txt"
  "emoji,z,rename,a.txt,a.txt,--name;b.txt;--drop;/x/😀.txt,$ok=b.txt;$beep,b.txt=a.txt"
  "accented,z,rename,a.txt,a.txt,--name;b.txt;--drop;/x/café.txt,$ok=b.txt;$beep,b.txt=a.txt;!b.txtcafe.txt"
  "drive-root,z,rename,a.txt,a.txt,--drop;N:\\,result=0x00000000;refused=1005 0-0,a.txt=a.txt"
)
for row in "${rows[@]}"; do run_row "$row"; done
finish
