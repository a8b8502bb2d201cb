#!/usr/bin/env bash
# Options bit 0x20 as the host finds it: the dialog toggles it when closed
# with CTRL held (OK or Cancel) or by a right-click on OK (once, also with
# CTRL held); CgName toggles it after a plain-name rename when 0x1000 is set;
# the two add up. A cancel returns 0 and leaves the selected path in
# messageBuffer. Holds real keys: runs alone.
source "$(dirname "$0")/cgname_lib.sh"

r='result=0x00000001;messageBuffer=@\b.txt;options'
c='result=0x00000000;messageBuffer=@\a.txt;options'
rows=(
  "right-click,z,rename,a.txt,a.txt,--name;b.txt;--rclick-ok,$r=0x00000020,b.txt=a.txt"
  "right-click-0x1000,z,rename,a.txt,a.txt,--options;0x1000;--name;b.txt;--rclick-ok,$r=0x00001000,b.txt=a.txt"
  "right-click-sub-0x1000,z,rename,a.txt,a.txt,--options;0x1000;--name;s\\b.txt;--rclick-ok,result=0x00000001;options=0x00001020,s/b.txt=a.txt"
  "ctrl-ok,z,rename,a.txt,a.txt,--name;b.txt;--hold;CTRL;--ok,$r=0x00000020,b.txt=a.txt"
  "ctrl-ok-0x1000,z,rename,a.txt,a.txt,--options;0x1000;--name;b.txt;--hold;CTRL;--ok,$r=0x00001000,b.txt=a.txt"
  "ctrl-right-click,z,rename,a.txt,a.txt,--name;b.txt;--hold;CTRL;--rclick-ok,$r=0x00000020,b.txt=a.txt"
  "cancel,z,rename,a.txt,a.txt,--options;0x1000;--name;b.txt;--cancel,$c=0x00001000,a.txt=a.txt;!b.txt"
  "ctrl-cancel,z,rename,a.txt,a.txt,--options;0x1000;--name;b.txt;--hold;CTRL;--cancel,$c=0x00001020,a.txt=a.txt"
  "create-right-click,z,create,,.,--options;0x1000;--name;b.txt;--rclick-ok,$r=0x00001020,b.txt="
)
for row in "${rows[@]}"; do run_row "$row"; done
finish
