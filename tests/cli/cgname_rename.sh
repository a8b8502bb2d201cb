#!/usr/bin/env bash
# Renames as typed: in place, into a new or an existing sub-folder, into a
# named folder keeping the item's name (text ending with "\"), one level up
# (not above a drive or share root); a name with one leading dot stays in its
# folder, whole. Result 1, the new path in messageBuffer,
# options bit 0x20 toggled by CgName (0x1000 given) only for a plain name.
source "$(dirname "$0")/cgname_lib.sh"

o='--options;0x1000;--name'
done1='result=0x00000001;title= 変更ファイル名の入力'
rows=(
  "in-place,z,rename,dir/a.txt,dir/a.txt,$o;b.txt,$done1;messageBuffer=@\\dir\\b.txt;options=0x00001020,dir/b.txt=dir/a.txt;!dir/a.txt"
  "new-sub-folder,z,rename,dir/a.txt,dir/a.txt,$o;s1\\s2\\b.txt,$done1;messageBuffer=@\\dir\\s1\\s2\\b.txt;options=0x00001000,dir/s1/s2/b.txt=dir/a.txt;!dir/a.txt"
  "existing-sub-folder,z,rename,dir/a.txt dir/sub/c,dir/a.txt,$o;sub\\b.txt,$done1;messageBuffer=@\\dir\\sub\\b.txt,dir/sub/b.txt=dir/a.txt;dir/sub/c=dir/sub/c"
  "keeps-own-name,z,rename,dir/a.txt,dir/a.txt,$o;sub\\,$done1;messageBuffer=@\\dir\\sub\\a.txt,dir/sub/a.txt=dir/a.txt;!dir/a.txt"
  "one-leading-dot,z,rename,dir/a.txt,dir/a.txt,$o;.b.txt,$done1;messageBuffer=@\\dir\\.b.txt;options=0x00001020,dir/.b.txt=dir/a.txt;!dir/a.txt;!.txt;!b.txt"
  "level-up,z,rename,dir/a.txt,dir/a.txt,$o;..b.txt,$done1;messageBuffer=@\\b.txt;options=0x00001000,b.txt=dir/a.txt;!dir/a.txt"
  "level-up-alone,z,rename,dir/a.txt,dir/a.txt,$o;..,$done1;messageBuffer=@\\a.txt,a.txt=dir/a.txt"
  "level-up-separator,z,rename,dir/a.txt,dir/a.txt,$o;..\\new\\b.txt,$done1;messageBuffer=@\\new\\b.txt,new/b.txt=dir/a.txt"
  "folder-item,z,rename,dir/f/in.txt,dir/f,$o;g,$done1;messageBuffer=@\\dir\\g,dir/g/in.txt=dir/f/in.txt;!dir/f"
  "double-byte,z,rename,dir/a.txt,dir/a.txt,$o;ソ\\表,$done1;messageBuffer=@\\dir\\ソ\\表,dir/ソ/表=dir/a.txt"
  "drive-root,n,rename,a.txt,a.txt,$o;..b.txt,$done1;messageBuffer=N:\\b.txt,b.txt=a.txt"
  "drive-up-to-root,n,rename,d/a.txt,d/a.txt,$o;..b.txt,$done1;messageBuffer=N:\\b.txt,b.txt=d/a.txt"
  "share-root,unc,rename,a.txt,a.txt,$o;..b,$done1;messageBuffer=\\\\srv\\cgname\\b,b=a.txt"
  "drive-root-separator,n,rename,a.txt,a.txt,$o;..\\b.txt,$done1;messageBuffer=N:\\b.txt,b.txt=a.txt"
  "share-root-separator,unc,rename,a.txt,a.txt,$o;..\\s\\b,$done1;messageBuffer=\\\\srv\\cgname\\s\\b,s/b=a.txt"
  "share-up-to-root,unc,rename,d/a.txt,d/a.txt,$o;..b,$done1;messageBuffer=\\\\srv\\cgname\\b,b=d/a.txt"
)
for row in "${rows[@]}"; do run_row "$row"; done
finish
