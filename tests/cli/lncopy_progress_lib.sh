# Shared by the progress window's tests (source after lib.sh). Every LnCopy
# run saves the destination history of the prefix, so the file the person
# using ./tavimore has there is put back as it was when the test ends.
build_dir=${TAVIMORE_BUILD:-$root/$([ "$("$root/cmake/wine-arch")" = win64 ] && echo build64 || echo build)}
prefix=${WINEPREFIX:-$build_dir/wineprefix}
history_saved=$(ls "$prefix"/drive_c/users/*/AppData/Roaming/TavimoreCP.dst 2>/dev/null | head -n 1)
[ -n "$history_saved" ] && cp -p -- "$history_saved" "$work/history.saved"
restore_history() {
  if [ -n "$history_saved" ]; then
    cp -p -- "$work/history.saved" "$history_saved"
  else
    rm -f -- "$prefix"/drive_c/users/*/AppData/Roaming/TavimoreCP.dst
  fi
  rm -rf -- "$work"
}
trap restore_history EXIT

# copy_run NAME ARGS...: LnCopy with the report, the raw block, stdout and
# stderr of the run in $work/NAME.{report,raw,out,err}; sets status.
copy_run() {
  local name=$1
  shift
  tavimore LnCopy --report "$work/$name.report" --raw "$work/$name.raw" "$@" >"$work/$name.out" 2>"$work/$name.err"
}

# The value of every KEY line of a run's report, joined by " ; ".
report_all() {
  sed -n "s/^$2: //p" "$work/$1.report" | paste -sd ';' | sed 's/;/ ; /g'
}

# A run's stdout with its CR LF pairs written as \r\n, as the report writes them.
stdout_line() {
  sed -z 's/\r\n/\\r\\n/g' "$work/$1.out"
}

# make_files DIR COUNT: COUNT small files n01.txt ... in DIR.
make_files() {
  mkdir -p -- "$1"
  local i
  for i in $(seq -w 1 "$2"); do printf 'file %s\n' "$i" >"$1/n$i.txt"; done
}
