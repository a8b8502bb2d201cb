#!/usr/bin/env bash
# Where the dialog's time comes from: the first item (its creation time with
# options bit 0x100), a dropped file (its creation time while Shift is held),
# "&P" (the present time) and its right-click (the clock to 0:00:00.000).
# A dropped path longer than 259 bytes, or whose name code page 932 does not
# hold exactly, is ignored with a beep; beside each such file stands the file
# its code page 932 form would name ("¥" read as "\", "?" as a wildcard, the
# path cut at 259 bytes), with the dropped file's time.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/dttime_lib.sh"

target=$work/t.txt source_file=$work/src.txt
echo s >"$source_file" && touch -d '2019-05-06 07:08:09.123' "$source_file"
source_written="2019 5 6 7 8 9 123"
source_created=$(reported_time creation "$source_file")
target_old="2020 1 2 3 4 5 0"
today=$(date '+%Y %-m %-d')
# Wine 8 on a Linux file system reports a file's last-write time as its creation
# time, so on this machine the creation rows below cannot tell the two apart
# (time_seam_tests can); they still check what the dialog shows and sets.
[ -n "$source_created" ] || fail "the dropped file's creation time cannot be read"
odd=$work/odd
mkdir -p "$odd" "$work/y"
cut=$odd/$(head -c $((240 - $(windows_form "$odd" | wc -c) - 1)) /dev/zero | tr '\0' 'f')
mkdir -p "$cut"
for file in "..¥y¥x.txt" ../y/x.txt 한국.txt 😀.txt ab.txt c.txt café.txt cafe.txt 表ソ.txt \
  "${cut#"$odd/"}/decoy-cut-here.txt" "${cut#"$odd/"}/decoy-cut-here.txt-and-more.txt"; do
  echo s >"$odd/$file" && touch -d '2019-05-06 07:08:09.123' "$odd/$file"
done
expect "the cut path's length" 259 "$(windows_form "$cut/decoy-cut-here.txt" | wc -c)"

# label # options # actions # fields at OK and the target's time afterwards # beep
rows=(
  "the first item's last-write time#0##target_old"
  "the first item's creation time with 0x100#100##target_created"
  "a dropped file's last-write time#0#--drop=$source_file#source_written"
  "with Shift held, its creation time#0#--hold=SHIFT;--drop=$source_file#source_created"
  "the first of several dropped files#0#--drop=$source_file|$target#source_written"
  "a dropped path that does not exist#0#--time=2021 3 4 5 6 7 8;--drop=$work/none.txt#typed"
  "a dropped name that code page 932 holds#0#--time=2021 3 4 5 6 7 8;--drop=$odd/表ソ.txt#source_written"
  "a dropped name with ¥#0#--time=2021 3 4 5 6 7 8;--drop=$odd/..¥y¥x.txt#typed#0x00000030"
  "a dropped Hangul name#0#--time=2021 3 4 5 6 7 8;--drop=$odd/한국.txt#typed#0x00000030"
  "a dropped emoji name#0#--time=2021 3 4 5 6 7 8;--drop=$odd/😀.txt#typed#0x00000030"
  "a dropped accented name#0#--time=2021 3 4 5 6 7 8;--drop=$odd/café.txt#typed#0x00000030"
  "a dropped path longer than 259 bytes#0#--time=2021 3 4 5 6 7 8;--drop=$cut/decoy-cut-here.txt-and-more.txt#typed#0x00000030"
  "right-click on &P#0#--time=2021 3 4 5 6 7 8;--zero-clock#typed_midnight"
  "&P and its right-click#0#--now;--zero-clock#today_midnight"
)
typed="2021 3 4 5 6 7 8" typed_midnight="2021 3 4 0 0 0 0" today_midnight="$today 0 0 0 0"
for row in "${rows[@]}"; do
  IFS='#' read -r label options actions expected beep <<<"$row"
  echo t >"$target" && touch -d '2020-01-02 03:04:05' "$target"
  target_created=$(reported_time creation "$target")
  dttime "$work/r.txt" "$actions" --options "$options" "$target"
  expect "$label: exit" 0 "$status"
  expect "$label: fields" "${!expected}" "$(report_value "$work/r.txt" fields)"
  expect "$label: target" "${!expected}" "$(disk_time "$target")"
  expect "$label: beep" "$beep" "$(report_value "$work/r.txt" beep)"
done

# "&P": the present local time, milliseconds included, between the moments before and after.
echo t >"$target" && touch -d '2020-01-02 03:04:05' "$target"
before=$(date +%s%3N)
dttime "$work/r.txt" "--now" "$target"
after=$(date +%s%3N)
read -r y mo d h mi s ms <<<"$(report_value "$work/r.txt" fields)"
shown=$(( $(date -d "$y-$mo-$d $h:$mi:$s" +%s) * 1000 + ms ))
checks=$((checks + 1))
[ "$shown" -ge "$before" ] && [ "$shown" -le "$after" ] || fail "&P: $shown not within $before-$after"
expect "&P: target" "$y $mo $d $h $mi $s $ms" "$(disk_time "$target")"
finish
