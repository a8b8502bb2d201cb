# Shared by the command-line tests: run ./tavimore from the repository root in
# batch mode against files made in a temporary folder, and count failed checks.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cd "$root" || exit 1
# A build folder given relative to the repository stays the same after a cd.
if [ -n "${TAVIMORE_BUILD:-}" ]; then
  TAVIMORE_BUILD=$(realpath -m -- "$TAVIMORE_BUILD")
  export TAVIMORE_BUILD
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
checks=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# expect NAME EXPECTED ACTUAL
expect() {
  checks=$((checks + 1))
  [ "$2" == "$3" ] || fail "$1: expected [$2], got [$3]"
}

# expect_same_bytes NAME EXPECTED_FILE ACTUAL_FILE
expect_same_bytes() {
  checks=$((checks + 1))
  cmp -s "$2" "$3" || fail "$1: bytes differ ($(cmp "$2" "$3" 2>&1 | head -1)); expected $(stat -c %s "$2") bytes, got $(stat -c %s "$3")"
}

# report_value REPORT KEY: the value of the first "KEY: value" line.
report_value() {
  sed -n "s/^$2: //p" "$1" | head -n 1
}

# tavimore ARGS...: ./tavimore in batch mode, with a time limit; sets status.
# The report named by --report is removed first: a run that writes none must
# not leave the checks reading an earlier run's report.
tavimore() {
  local previous= arg
  for arg in "$@"; do
    [ "$previous" = --report ] && rm -f -- "$arg"
    previous=$arg
  done
  timeout 120 ./tavimore "$1" --batch "${@:2}"
  status=$?
}

# The Windows form of a Linux path, as the host sees it.
windows_form() {
  local path
  path=$(realpath -ms -- "$1")
  printf 'Z:%s' "${path//\//\\}"
}

finish() {
  echo "$checks checks, $failures failed"
  [ "$failures" -eq 0 ]
  exit $?
}
