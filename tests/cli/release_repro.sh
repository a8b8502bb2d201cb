#!/usr/bin/env bash
# release_repro.sh OUT_A OUT_B: a second release, built at OUT_B (another path,
# later, maybe in another time zone), gives the same bytes as the one at OUT_A.
source "$(dirname "$0")/lib.sh"
a=$(realpath -m -- "$1")
b=$(realpath -m -- "$2")
bash tests/cli/release_build.sh "$b" >/dev/null || fail "release at $b"
for zip in "$a"/src/dist/*.zip; do
  expect_same_bytes "${zip##*/}" "$zip" "$b/src/dist/${zip##*/}"
done
expect "zips" "2" "$(ls "$a"/src/dist/*.zip | wc -l)"
finish
