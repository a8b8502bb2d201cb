#!/usr/bin/env bash
# Failures after OK: one standard box with the failed path and its wording
# (" は\r\n作成出来ません。" when a folder or the file cannot be made,
# " に\r\n変更出来ません。" when the rename fails); result 1 all the same, the
# failed path's parent in messageBuffer, the item where it was. CgName's own
# toggle of bit 0x20 comes before the move, so a failed plain rename has it.
source "$(dirname "$0")/cgname_lib.sh"

made=' は\r\n作成出来ません。'
renamed=' に\r\n変更出来ません。'
o='--options;0x1000;--name'
rows=(
  "rename-onto-file-above,z,rename,dir/a.txt b.txt,dir/a.txt,$o;..b.txt,result=0x00000001;box= Tavimore | @\\b.txt$renamed;messageBuffer=@;options=0x00001000,dir/a.txt=dir/a.txt;b.txt=b.txt"
  "rename-onto-folder,z,rename,dir/a.txt dir/sub/,dir/a.txt,$o;sub,result=0x00000001;box= Tavimore | @\\dir\\sub$renamed;messageBuffer=@\\dir;options=0x00001020,dir/a.txt=dir/a.txt"
  "rename-folder-blocked,z,rename,dir/a.txt dir/f,dir/a.txt,$o;f\\b.txt,result=0x00000001;box= Tavimore | @\\dir\\f$made;messageBuffer=@\\dir;options=0x00001000,dir/a.txt=dir/a.txt;dir/f=dir/f"
  "share-root-renamed,unc,rename,a.txt,.,--name;x,result=0x00000001;box= Tavimore | \\\\srv\\x$renamed;messageBuffer=\\\\srv,a.txt=a.txt"
  "create-onto-folder,z,create,dir/sub/,dir,$o;sub,result=0x00000001;box= Tavimore | @\\dir\\sub$made;messageBuffer=@\\dir,dir/sub/"
  "create-folder-blocked,z,create,dir/f,dir,$o;f\\g\\x,result=0x00000001;box= Tavimore | @\\dir\\f$made;messageBuffer=@\\dir,dir/f=dir/f"
)
for row in "${rows[@]}"; do run_row "$row"; done
finish
