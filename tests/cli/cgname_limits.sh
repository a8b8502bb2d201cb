#!/usr/bin/env bash
# Every join into messageBuffer (260 bytes) at its limit, in a folder whose
# Windows form is L bytes long (ROOT long:L); a target path may be 259 bytes.
#  - a typed or dropped name that would make it longer is refused at OK, whole
#    text selected, and nothing of it reaches messageBuffer;
#  - the "NewFile" proposal is cut to what fits; with no room for "\" and one
#    character, the creation failure box comes before any dialog;
#  - a text ending with "\" that leaves no room for the item's own name gets
#    the rename failure box with that folder's path, and no folder is made;
#  - a folder that cannot be made near the end of the path is reported whole.
source "$(dirname "$0")/cgname_lib.sh"

x=xxxxxxxxxxxxxxxxxx  # 18 bytes: the longest name behind a 240-byte folder
no='result=0x00000000;messageBuffer=@\a.txt'
made=' は\r\n作成出来ません。'
rows=(
  "typed-fits,long:240,rename,a.txt,a.txt,--name;$x,result=0x00000001;messageBuffer=@\\$x,$x=a.txt"
  "typed-one-too-long,long:240,rename,a.txt,a.txt,--name;${x}y,$no;refused=1005 0-19,a.txt=a.txt"
  "dropped-one-too-long,long:240,rename,a.txt,a.txt,--drop;/elsewhere/${x}y,$no;refused=1005 0-19,a.txt=a.txt"
  # Selection positions are bytes: 0-19 is all of these nine double-byte
  # characters and the "x".
  "double-byte-too-long,long:240,rename,a.txt,a.txt,--name;表表表表表表表表表x,$no;refused=1005 0-19,a.txt=a.txt"
  "proposal-cut,long:252,create,,.,,result=0x00000001;name=NewFil;messageBuffer=@\\NewFil,NewFil="
  "proposal-one-byte,long:257,create,,.,,result=0x00000001;name=N;messageBuffer=@\\N,N="
  "proposal-no-room,long:258,create,,.,,result=0x00000001;messageBuffer=@;box= Tavimore | @$made;title=,!N"
  "own-name-fits,long:250,rename,abcd,abcd,--name;sub\\,result=0x00000001;messageBuffer=@\\sub\\abcd,sub/abcd=abcd"
  "own-name-no-room,long:250,rename,a.txt,a.txt,--name;sub\\,result=0x00000001;messageBuffer=@\\sub;box= Tavimore | @\\sub\\ に\\r\\n変更出来ません。,a.txt=a.txt;!sub"
  "folder-fails-at-end,long:240,rename,a.txt blocker,a.txt,--name;blocker\\xxxxxxxxxx,result=0x00000001;messageBuffer=@;box= Tavimore | @\\blocker$made,a.txt=a.txt"
)
for row in "${rows[@]}"; do run_row "$row"; done
finish
