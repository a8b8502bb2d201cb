# Shared by the DtTime tests (after lib.sh): times in Tokyo's zone, the
# Windows-side tool, and a table runner's pieces.
export TZ=Asia/Tokyo
build=${TAVIMORE_BUILD:-$root/build64}
export WINEPREFIX=${WINEPREFIX:-$build/wineprefix}
export LOCPATH=${LOCPATH:-$build/locale}

# wtool ARGS...: timetool.exe on the suite's prefix (see tests/TimeTool.cpp).
wtool() {
  timeout 60 "$root/cmake/wine-run" "$build/timetool.exe" "$@" 2>/dev/null | tr -d '\r'
}

# reported_time creation|lastwrite FILE: the time Windows reports, "Y M D h m s ms".
reported_time() {
  wtool times "$(windows_form "$2")" | sed -n "s/^$1: //p"
}

# disk_time FILE: the Linux file's modification time as "Y M D h m s ms".
disk_time() {
  local n
  n=$(date -r "$1" '+%Y %-m %-d %-H %-M %-S %N')
  printf '%s %d' "${n% *}" "$((10#${n##* } / 1000000))"
}

# dttime REPORT ACTIONS PATH...: ./tavimore DtTime with the actions of a table
# row ("--time=2021 3 4 5 6 7 8;--inside": ";" between actions, "=" before a value).
dttime() {
  local report=$1 actions=$2 piece args=()
  shift 2
  local IFS=';'
  for piece in $actions; do
    if [[ $piece == *=* ]]; then args+=("${piece%%=*}" "${piece#*=}"); else args+=("$piece"); fi
  done
  unset IFS
  tavimore DtTime --report "$report" "${args[@]}" "$@" >/dev/null 2>"$work/stderr"
}

# set_file_time_calls STDERR: the SetFileTime calls of a +relay run, one word per
# call naming the times it was given: C creation, A last access, W last write.
set_file_time_calls() {
  grep -ao 'Call KERNEL32.SetFileTime([^)]*)' "$1" | sed 's/.*(//;s/)//' |
    awk -F, '{ printf "%s%s%s%s\n", (NR > 1 ? " " : ""), ($2 ~ /^0+$/ ? "-" : "C"), ($3 ~ /^0+$/ ? "-" : "A"), ($4 ~ /^0+$/ ? "-" : "W") }' |
    tr -d '\n'
}

# disk_nanoseconds FILE: the modification time's fraction of a second, in ns.
disk_nanoseconds() {
  stat -c %y "$1" | sed 's/.*\.\([0-9]*\) .*/\1/'
}
