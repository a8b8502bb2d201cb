# Keys really held (SendInput) in the destination browser, through ./tavimore:
# CTRL at OK toggles options bit 0x20 once the destination exists (not at
# Cancel, not when the destination cannot be made), NONCONVERT at OK asks for
# the quiet run, and a right-click on OK while NONCONVERT is held toggles it
# back. A host's answer with bits of its own counts for its key bits alone.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/lncopy_lib.sh"
set_history

mkdir -p "$work/src" "$work/dst"
echo alpha >"$work/src/a.txt"
dst=$(windows_form "$work/dst")
# A folder under a file cannot be made: OK is enabled, the command then fails
# at the file's name, which the box and pathBuffer show.
unmade=$(windows_form "$work/src/a.txt")

# name | actions | result | options afterwards | progress window shown |
# pathBuffer (when not the destination and the item's name)
table="ctrl|--dest $work/dst --hold CTRL|0x00000003|0x00000020|yes
ctrl-cancel|--dest $work/dst --hold CTRL --cancel|0x00000000|0x00000000|no|$dst
ctrl-unmade|--dest $work/src/a.txt/sub --hold CTRL|0x00000000|0x00000000|no|$unmade
ctrl-start-set|--dest $work/dst --hold CTRL|0x00000003|0x00000000|yes
nonconvert|--dest $work/dst --hold NONCONVERT|0x00000005|0x00000000|no
nonconvert-rclick|--dest $work/dst --hold NONCONVERT --rclick-ok|0x00000001|0x00000000|yes
host-bits|--dest $work/dst --keys 0x7FFFFF4|0x00000005|0x00000000|no"
while IFS='|' read -r name actions result options window path; do
  start=0
  [ "$name" = ctrl-start-set ] && start=20
  # shellcheck disable=SC2086
  lncopy "$name" --options "$start" $actions "$work/src/a.txt"
  check_run "$name" "$result" "${path:-$dst\\a.txt}"
  expect "$name options" "$options" "$(value "$name" options)"
  shown=no
  [[ $(values "$name" title) == *"しています"* ]] && shown=yes
  expect "$name progress window" "$window" "$shown"
done <<<"$table"
# The destination that cannot be made is reported in the standard box.
expect "ctrl-unmade box" " Tavimore | $unmade は\\r\\n作成出来ません。" "$(value ctrl-unmade box)"

finish
