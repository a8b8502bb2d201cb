#!/usr/bin/env bash
# Every test that presses real keys holds the ctest lock "keys": a key pressed
# with SendInput reaches every window of the suite's one X server, so two such
# tests running at once could cancel each other's runs or read each other's
# keys. Pressing tests are the GoogleTest programs whose sources call
# SendInput and the command-line tests that hold keys or press ESC.
source "$(dirname "$0")/lib.sh"

build=${TAVIMORE_BUILD:-}
if [ -z "$build" ]; then
  build=$root/build
  [ "$(cmake/wine-arch)" = win64 ] && build=$root/build64
fi
testfile=$build/tests/CTestTestfile.cmake
pressing=0
while IFS= read -r line; do
  name=$(sed -n 's/^add_test(\[=\[\([^]]*\)\]=\].*/\1/p' <<<"$line")
  presses=0
  if [[ $line =~ /([A-Za-z0-9_]+)\.exe\" ]]; then
    sources=$(grep -o '"[^"]*\.cpp"' "$build/tests/CMakeFiles/${BASH_REMATCH[1]}.dir/DependInfo.cmake" 2>/dev/null |
              tr -d '"' | sort -u)
    [ -n "$sources" ] && grep -q 'SendInput' $sources && presses=1
  elif [[ $line =~ \"([^\"]*/tests/cli/[^\"]*\.sh)\" ]]; then
    grep -qE -- '--(hold|esc)' "${BASH_REMATCH[1]}" && presses=1
  fi
  [ $presses -eq 1 ] || continue
  pressing=$((pressing + 1))
  locks=$(grep -F "set_tests_properties([=[$name]=]" "$testfile" | sed -n 's/.*RESOURCE_LOCK "\([^"]*\)".*/\1/p')
  expect "$name presses keys: it holds the lock 'keys'" 1 "$(tr ';' '\n' <<<"$locks" | grep -cx keys)"
done < <(grep '^add_test(' "$testfile")
# pump_tests, copy_engine_tests and hostkit_tests at least.
expect "tests that press keys were found" yes "$([ "$pressing" -ge 3 ] && echo yes)"

finish
