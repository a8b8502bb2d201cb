#!/usr/bin/env bash
# release_build.sh OUT: ./release in a copy of this working tree at OUT/src
# (tracked and new files, no build folders), with the last commit's time.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=$(realpath -m -- "$1")
rm -rf "$out" && mkdir -p "$out/src"
git -C "$root" ls-files -z --cached --others --exclude-standard |
  while IFS= read -r -d '' f; do [ -e "$root/$f" ] && printf '%s\0' "$f"; done |
  tar -C "$root" -cf - --null -T - | tar -C "$out/src" -xf -
SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct) "$out/src/release"
