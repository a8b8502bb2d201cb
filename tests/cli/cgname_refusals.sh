#!/usr/bin/env bash
# Names refused at OK: the focus on the name field (1005) with the offending
# text selected (byte positions), then Cancel: result 0, nothing touched,
# messageBuffer as the check left it (the folder part and the text as typed);
# on stderr the field (no label: its id) and the selected text.
source "$(dirname "$0")/cgname_lib.sh"

i='dir/a.txt dir/c.txt'
same='result=0x00000000;options=0x00000000'
rows=(
  "empty,z,rename,$i,dir/a.txt,--name;;--ok,$same;refused=1005 0-0;messageBuffer=@\\dir\\;stderr=refused: 1005 \"\",dir/a.txt=dir/a.txt"
  "bar,z,rename,$i,dir/a.txt,--name;a|b,$same;refused=1005 1-2;messageBuffer=@\\dir\\a|b;stderr=refused: 1005 \"|\",dir/a.txt=dir/a.txt"
  "quote,z,rename,$i,dir/a.txt,--name;x\"y,$same;refused=1005 1-2,dir/a.txt=dir/a.txt"
  "existing-file,z,rename,$i,dir/a.txt,--name;C.TXT,$same;refused=1005 0-5,dir/a.txt=dir/a.txt;dir/c.txt=dir/c.txt"
  "case-only,z,rename,$i,dir/a.txt,--name;A.txt,$same;refused=1005 0-5;stderr=refused: 1005 \"A.txt\",dir/a.txt=dir/a.txt;!dir/A.txt"
  "unchanged,z,rename,$i,dir/a.txt,,$same;refused=1005 0-5;name=a.txt,dir/a.txt=dir/a.txt"
  "after-double-byte,z,rename,$i,dir/a.txt,--name;表|x,$same;refused=1005 2-3;stderr=refused: 1005 \"|\",dir/a.txt=dir/a.txt"
  # Positions in bytes, as the library selects them (Wine's edit control
  # would read them as characters: past the end of these three).
  "after-two-double-byte,z,rename,$i,dir/a.txt,--name;ああ|,$same;refused=1005 4-5;stderr=refused: 1005 \"|\",dir/a.txt=dir/a.txt"
  "in-sub-path,z,rename,$i,dir/a.txt,--name;sub\\x*y,$same;refused=1005 5-6,dir/a.txt=dir/a.txt;!dir/sub"
  "by-right-click,z,rename,$i,dir/a.txt,--name;a?b;--rclick-ok,$same;refused=1005 1-2,dir/a.txt=dir/a.txt"
)
for row in "${rows[@]}"; do run_row "$row"; done
finish
