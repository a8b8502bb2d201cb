# Shared by the CgName tests: each row gets a folder of its own under $work,
# seen by the host under one of three roots (the folder's Z: form, the drive
# N: or the share \\srv\cgname, both made with links in the prefix's
# dosdevices and removed at the end), and checks of a run's report.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

if [ "$("$root/cmake/wine-arch")" = win64 ]; then build_dir=${TAVIMORE_BUILD:-$root/build64}
else build_dir=${TAVIMORE_BUILD:-$root/build}; fi
prefix=${WINEPREFIX:-$build_dir/wineprefix}
drive_link=$prefix/dosdevices/n:
share_link=$prefix/dosdevices/unc/srv/cgname
trap 'rm -f "$drive_link" "$share_link"; rm -rf "$work"' EXIT

# row_root KIND FOLDER: makes FOLDER reachable as KIND (z, n, unc) and prints
# its Windows form.
row_root() {
  mkdir -p "$2"
  case $1 in
    n) ln -sfn "$2" "$drive_link"; printf 'N:' ;;
    unc) mkdir -p "$(dirname "$share_link")"; ln -sfn "$2" "$share_link"; printf '\\\\srv\\cgname' ;;
    *) windows_form "$2" ;;
  esac
}

# make_items FOLDER ITEM...: files (content = their name) and, ending in "/", folders.
make_items() {
  local folder=$1 item
  shift
  for item in "$@"; do
    case $item in
      */) mkdir -p "$folder/$item" ;;
      *) mkdir -p "$(dirname "$folder/$item")"; printf '%s' "$item" >"$folder/$item" ;;
    esac
  done
}

# win REL: the relative Linux path REL with Windows separators.
win() { printf '%s' "${1//\//\\}"; }

# expect_report LABEL REPORT KEY VALUE
expect_report() { expect "$1: $3" "$4" "$(report_value "$2" "$3")"; }

# expect_no_line LABEL REPORT KEY: the report has no KEY line.
expect_no_line() {
  checks=$((checks + 1))
  grep -q "^$3: " "$2" && fail "$1: unexpected $(grep "^$3: " "$2" | head -1)"
}

# expect_file LABEL PATH CONTENT / expect_missing LABEL PATH / expect_folder LABEL PATH
expect_file() {
  checks=$((checks + 1))
  if [ -f "$2" ]; then [ "$(cat "$2")" == "$3" ] || fail "$1: $2 holds [$(cat "$2")], not [$3]"
  else fail "$1: no file $2"; fi
}
expect_missing() { checks=$((checks + 1)); [ -e "$2" ] && fail "$1: $2 exists"; }
expect_folder() { checks=$((checks + 1)); [ -d "$2" ] || fail "$1: no folder $2"; }

# long_folder BASE WINLEN: creates and prints a folder under BASE whose Z: form
# is exactly WINLEN bytes long (components of at most 200 bytes).
long_folder() {
  local folder=$1 need
  need=$(($2 - $(windows_form "$1" | wc -c)))
  while [ "$need" -gt 0 ]; do
    local part=$((need - 1 > 200 ? 200 : need - 1))
    [ $((need - 1 - part)) -eq 1 ] && part=$((part - 2))
    folder=$folder/$(head -c "$part" /dev/zero | tr '\0' 'f')
    need=$((need - part - 1))
  done
  mkdir -p "$folder"
  printf '%s' "$folder"
}
