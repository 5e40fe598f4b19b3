#!/usr/bin/env bash
# Keeping fewer on the day the clocks go forward, in a made-up zone (Wine follows TZ) whose
# summer time began at midnight today: a folder 23.5 real hours old is 24.5 hours old by the
# wall clock, and still counts as one of the last 24 hours, while of two folders more than 24
# real hours old on one day only the newer stays.
#   clocks_go_forward.sh TESSALINE_EXE WORK_FOLDER
# Runs inside the test prefix ($WINEPREFIX) that ./x test provides.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/program.sh"
kill_test_start 0 "$@"
mkdir -p "$src"
printf 'the source\n' >"$src/a.txt"

# Summer time from midnight today (day of the year counted from 0) until the year's last day,
# one hour ahead of standard time, which is as far east of UTC as puts the wall clock near noon
# now: the folders of a day ago then share a day whatever the hour the test runs at. Wine finds
# a zone's changes of clocks by halving the year, so a summer time of a few days is missed on
# most days of the year, and the zone would seem to have none; one that lasts to the year's end
# is found on any day.
east=$((11 - 10#$(date -u +%H)))
standard="XST$((-east))"
today=$(($(TZ="$standard" date +%-j) - 1))
[ "$today" -ge 1 ] && [ "$today" -le 362 ] ||
  { say "SKIPPED: the made-up summer time would begin or end with the year"; exit 77; }
export TZ="${standard}XDT$((-east - 1)),$today/0,J365/0"
now=$(date +%s)
stamp_at() { LC_ALL=C date -d "@$((now - $1))" +'DataDate %b %-d %Y Time %I %M %S %p'; }
older="$(stamp_at $((25 * 3600)))"     # 26 hours by the wall clock
newer="$(stamp_at $((24 * 3600 + 1800)))" # 25.5 by the wall clock: the newest of its day
recent="$(stamp_at $((23 * 3600 + 1800)))" # 24.5 by the wall clock, 23.5 real hours
for name in "$older" "$newer" "$recent"; do
  mkdir -p "$dst/$name"
  printf 'an older version\n' >"$dst/$name/a.txt"
done

forget_settings_and_log
setting Folders "$(winepath -w "$src");"
setting Path "$(winepath -w "$dst")"
setting "Include Date" On
setting "Backup Option" 1
setting "Keep Fewer Backups" On
trap 'kill_program >/dev/null 2>&1 || true' EXIT

(cd "$(dirname "$exe")" && wine "$exe" /backup </dev/null >/dev/null 2>&1) || true
[ -d "$dst/$recent" ] || fail "$recent, 23.5 real hours old, was removed"
[ -d "$dst/$newer" ] || fail "$newer, the newest of its day past 24 real hours, was removed"
[ ! -e "$dst/$older" ] || fail "$older was kept beside a newer folder of its day"
grep -q '^Data had 1 older backup folder removed at ' "$log" || fail "no removal line: $(cat "$log")"
say "23.5 real hours (24.5 on the wall clock) stayed; of the older two, the newer"
rm -rf "$work"
