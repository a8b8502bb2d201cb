#!/usr/bin/env bash
# release_build.sh OUT: ./release in a copy of this working tree at OUT/src
# (tracked and new files, no build folders), with the last commit's time; first
# the build folders it must refuse to empty.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=$(realpath -m -- "$1")
rm -rf "$out" && mkdir -p "$out/src"
git -C "$root" ls-files -z --cached --others --exclude-standard |
  while IFS= read -r -d '' f; do [ -e "$root/$f" ] && printf '%s\0' "$f"; done |
  tar -C "$root" -cf - --null -T - | tar -C "$out/src" -xf -
epoch=$(git -C "$root" log -1 --format=%ct)

# Build folders ./release must not empty: it refuses, and nothing under OUT is
# touched. Value of TAVIMORE_RELEASE_BUILD, from OUT/src | what it is
mkdir -p "$out/unmarked" && touch "$out/kept" "$out/unmarked/kept"
err=$(mktemp)
failed=0
for row in ".|the repository" "..|a folder above the repository" "/|the root" \
           "$out/unmarked|a folder that ./release did not make"; do
  IFS='|' read -r value what <<<"$row"
  before=$(find "$out" | sort | md5sum)
  status=0
  (cd "$out/src" && SOURCE_DATE_EPOCH=$epoch TAVIMORE_RELEASE_BUILD=$value ./release >/dev/null 2>"$err") || status=$?
  [ "$status" -eq 2 ] && grep -q '^release: will not empty ' "$err" && [ "$(find "$out" | sort | md5sum)" == "$before" ] ||
    { echo "FAIL: TAVIMORE_RELEASE_BUILD=$value ($what): status $status, $(head -n 1 "$err")" >&2; failed=1; }
done
rm -rf "$out/unmarked" "$out/kept" "$err"
[ "$failed" -eq 0 ] || exit 1

# A build folder that an earlier ./release made is emptied and used.
mkdir -p "$out/src/build-release" && touch "$out/src/build-release/.tavimore-release-build" "$out/src/build-release/stale"
SOURCE_DATE_EPOCH=$epoch "$out/src/release"
[ ! -e "$out/src/build-release/stale" ] || { echo "FAIL: the earlier release's build folder was not emptied" >&2; exit 1; }
