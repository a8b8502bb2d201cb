# Shared by the LnCopy tests (after lib.sh): one run of the command with its
# report, and the destination history file of the prefix, saved at the start
# and put back at the end so that a person's history survives the tests.
build_dir=${TAVIMORE_BUILD:-$root/build64}
[ -d "$build_dir" ] || build_dir=$root/build
prefix=${WINEPREFIX:-$build_dir/wineprefix}
history_file=
for folder in "$prefix"/drive_c/users/*/AppData/Roaming; do
  case $folder in */users/Public/*) continue ;; esac
  [ -d "$folder" ] && history_file=$folder/TavimoreCP.dst && break
done
[ -n "$history_file" ] || { echo "no application-data folder in $prefix" >&2; exit 1; }
history_saved=$work/history.saved
if [ -e "$history_file" ]; then cp -p -- "$history_file" "$history_saved"; fi
restore_history() {
  chmod u+w -- "$history_file" 2>/dev/null
  if [ -e "$history_saved" ]; then cp -p -- "$history_saved" "$history_file"; else rm -f -- "$history_file"; fi
  rm -rf "$work"
}
trap restore_history EXIT

# set_history ENTRY...: the history file holds these entries, each with its NUL.
set_history() {
  chmod u+w -- "$history_file" 2>/dev/null
  : >"$history_file"
  local entry
  for entry in "$@"; do printf '%s\0' "$entry" >>"$history_file"; done
}

# history_entries: the file's entries, one a line.
history_entries() {
  tr '\0' '\n' <"$history_file"
}

# lncopy NAME ARGS...: ./tavimore LnCopy with the report $work/NAME.report and
# its stdout in $work/NAME.out; sets status.
lncopy() {
  local name=$1
  shift
  tavimore LnCopy --report "$work/$name.report" "$@" >"$work/$name.out" 2>"$work/$name.err"
}

# value NAME KEY: the first KEY line of run NAME's report.
value() {
  report_value "$work/$1.report" "$2"
}

# values NAME KEY: every KEY line of run NAME's report, joined by " ; ".
values() {
  sed -n "s/^$2: //p" "$work/$1.report" | awk 'NR > 1 { printf " ; " } { printf "%s", $0 }'
}

# check_run NAME RESULT PATHBUFFER: the run's result and pathBuffer.
check_run() {
  expect "$1 result" "$2" "$(value "$1" result)"
  expect "$1 pathBuffer" "$3" "$(value "$1" pathBuffer)"
}

# exists NAME PATH... / missing NAME PATH...: files on disk after run NAME.
exists() {
  local name=$1 path
  shift
  for path in "$@"; do
    checks=$((checks + 1))
    [ -e "$path" ] || fail "$name: $path should exist"
  done
}
missing() {
  local name=$1 path
  shift
  for path in "$@"; do
    checks=$((checks + 1))
    [ ! -e "$path" ] || fail "$name: $path should not exist"
  done
}
