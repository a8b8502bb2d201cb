#!/usr/bin/env bash
# Creation (--create): "NewFile" proposed in the selected folder (no doubled
# separator behind a root), the typed name made as an empty file with missing
# folders on the way, folders only for a text ending with "\"; a name one
# level up ("..x.txt") that is an existing file there is opened and left as it
# is; a name with one leading dot (".keep") is made in the folder, whole.
# Result 1, the new path in messageBuffer, options untouched by CgName.
source "$(dirname "$0")/cgname_lib.sh"

o='--options;0x1000'
done1='result=0x00000001;options=0x00001000;title= 作成ファイル名の入力'
rows=(
  "new-file,z,create,dir/,dir,$o,$done1;name=NewFile;messageBuffer=@\\dir\\NewFile,dir/NewFile="
  "sub-folder-path,z,create,dir/,dir,$o;--name;new\\x.txt,$done1;messageBuffer=@\\dir\\new\\x.txt,dir/new/x.txt="
  "folders-only,z,create,dir/,dir,$o;--name;new\\deeper\\,$done1;messageBuffer=@\\dir\\new\\deeper\\,dir/new/deeper/;!dir/new/deeper/NewFile"
  "double-byte,z,create,dir/,dir,$o;--name;表\\ソ.txt,$done1;messageBuffer=@\\dir\\表\\ソ.txt,dir/表/ソ.txt="
  "one-leading-dot,z,create,dir/,dir,$o;--name;.keep,$done1;messageBuffer=@\\dir\\.keep,dir/.keep=;!eep;!keep;!.keep"
  "onto-a-file-above,z,create,dir/ x.txt,dir,$o;--name;..x.txt,$done1;messageBuffer=@\\x.txt,x.txt=x.txt;!dir/x.txt"
  "drive-root,n,create,,.,$o,$done1;name=NewFile;messageBuffer=N:\\NewFile,NewFile="
  "drive-root-folders-only,n,create,,.,$o;--name;a\\,$done1;messageBuffer=N:\\a\\,a/;!a/NewFile"
  "share-root,unc,create,,.,$o,$done1;messageBuffer=\\\\srv\\cgname\\NewFile,NewFile="
)
for row in "${rows[@]}"; do run_row "$row"; done
finish
