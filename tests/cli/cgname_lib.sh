# Shared by the CgName tests: one row, one run of ./tavimore CgName in a folder
# of its own, checked on the report and on disk.
#
# Row: LABEL,ROOT,FLAG,ITEMS,SELECTED,ACTIONS,REPORT,DISK
#   ROOT      how the host sees the row's folder: z (its Z: form), n (drive N:),
#             unc (share \\srv\cgname), long:L (a sub-folder whose Z: form is
#             L bytes long); N: and the share are links in the prefix's
#             dosdevices, removed at the end
#   FLAG      rename or create (third argument 0)
#   ITEMS     files (content: their name) and folders (ending in /), by spaces
#   SELECTED  the selected path, relative to the folder ("." the folder itself)
#   ACTIONS   tavimore's options, by ";"
#   REPORT    key=value by ";", "@" standing for the folder's Windows form; an
#             empty value means no such line; "box" and "refused" lines are
#             expected absent unless given; the key "stderr" stands for the
#             run's "Tavimore: " lines on stderr
#   DISK      by ";": path=content (a file), path/ (a folder), !path (nothing)
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

if [ "$("$root/cmake/wine-arch")" = win64 ]; then build_dir=${TAVIMORE_BUILD:-$root/build64}
else build_dir=${TAVIMORE_BUILD:-$root/build}; fi
prefix=${WINEPREFIX:-$build_dir/wineprefix}
drive_link=$prefix/dosdevices/n:
share_link=$prefix/dosdevices/unc/srv/cgname
trap 'rm -f "$drive_link" "$share_link"; rm -rf "$work"' EXIT

# long_folder BASE L: makes and prints a folder under BASE whose Z: form is L bytes.
long_folder() {
  local folder=$1 need part
  need=$(($2 - $(windows_form "$1" | wc -c)))
  while [ "$need" -gt 0 ]; do
    part=$((need - 1 > 200 ? 200 : need - 1))
    [ $((need - 1 - part)) -eq 1 ] && part=$((part - 2))
    folder=$folder/$(head -c "$part" /dev/zero | tr '\0' 'f')
    need=$((need - part - 1))
  done
  mkdir -p "$folder" && printf '%s' "$folder"
}

run_row() {
  local label kind flag items selected actions expects disk folder base path item pair key value
  IFS=',' read -r label kind flag items selected actions expects disk <<<"$1"
  folder=$work/$label
  mkdir -p "$folder"
  case $kind in
    n) ln -sfn "$folder" "$drive_link"; base=N: ;;
    unc) mkdir -p "$(dirname "$share_link")"; ln -sfn "$folder" "$share_link"; base='\\srv\cgname' ;;
    long:*) folder=$(long_folder "$folder" "${kind#long:}"); base=$(windows_form "$folder")
      expect "$label: folder length" "${kind#long:}" "${#base}" ;;
    *) base=$(windows_form "$folder") ;;
  esac
  for item in $items; do
    mkdir -p "$(dirname "$folder/$item")"
    case $item in */) mkdir -p "$folder/$item" ;; *) printf '%s' "$item" >"$folder/$item" ;; esac
  done
  path="$base\\${selected//\//\\}"
  [ "$selected" = . ] && path=$base && [ "$kind" = n ] && path='N:\'
  local args=() create=()
  IFS=';' read -r -a args <<<"$actions"
  [ "$flag" = create ] && create=(--create)
  tavimore CgName "${create[@]}" "${args[@]}" --report "$work/$label.report" "$path" 2>"$work/$label.err"
  sed -n 's/^Tavimore: /stderr: /p' "$work/$label.err" >>"$work/$label.report"
  [[ ";$expects" == *";box="* ]] || expects+=";box="
  [[ ";$expects" == *";refused="* ]] || expects+=";refused="
  IFS=';' read -r -a args <<<"$expects"
  for pair in "${args[@]}"; do
    key=${pair%%=*}
    value=${pair#*=}
    value=${value//@/"$base"}
    checks=$((checks + 1))
    if [ -z "$value" ]; then
      grep -q "^$key: " "$work/$label.report" && fail "$label: unexpected $(grep -m1 "^$key: " "$work/$label.report")"
    else
      [ "$(report_value "$work/$label.report" "$key")" == "$value" ] ||
        fail "$label: $key: expected [$value], got [$(report_value "$work/$label.report" "$key")]"
    fi
  done
  IFS=';' read -r -a args <<<"$disk"
  for item in "${args[@]}"; do
    checks=$((checks + 1))
    case $item in
      !*) [ -e "$folder/${item#!}" ] && fail "$label: ${item#!} exists" ;;
      */) [ -d "$folder/$item" ] || fail "$label: no folder $item" ;;
      *=*) [ -f "$folder/${item%%=*}" ] && [ "$(cat "$folder/${item%%=*}")" == "${item#*=}" ] ||
        fail "$label: ${item%%=*} is not a file holding [${item#*=}]" ;;
    esac
  done
}
