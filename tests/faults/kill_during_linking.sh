#!/usr/bin/env bash
# The program killed outright (kill -9 on its own process) at random moments of timed
# create-new runs that link the unchanged files of each new backup folder to the previous one:
# every file of every earlier folder must stay exactly as it was, and the next run must
# complete with a folder equal to the source whose unchanged files are shared.
#   kill_during_linking.sh TESSALINE_EXE WORK_FOLDER [KILLS]
# Runs inside the test prefix ($WINEPREFIX) and display ($DISPLAY) that ./x test provides.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/program.sh"
kill_test_start 8 "$@"
mkdir -p "$src/large"
# Enough files that a run which only links takes a few seconds, so kills land inside it.
for d in $(seq -w 0 19); do
  mkdir -p "$src/small/$d"
  for i in $(seq -w 0 499); do printf 'small file %s/%s\n' "$d" "$i" >"$src/small/$d/$i.txt"; done
done
for i in 1 2 3; do head -c $((3 * 1024 * 1024)) < <(yes "large file $i") >"$src/large/$i.bin"; done
# Between runs a few files change (in size as well), so each run links most and copies some.
edit_some() {
  local i
  for i in $(seq -w 0 9); do printf 'small file, edit %s\n' "$1" >"$src/small/07/00$i.txt"; done
}

forget_settings_and_log
setting Folders "$(winepath -w "$src");"
setting Path "$(winepath -w "$dst")"
setting StartStopState On
setting OftenIndex 1  # every 5 seconds
setting "Include Date" On
setting "Backup Option" 1  # a new stamped folder on every run

trap 'kill_program >/dev/null 2>&1 || true' EXIT

wait_for_new_folder() {
  wait_for_change_since_stamp "the timed run never made its folder" \
    "$dst" -mindepth 1 -maxdepth 1 -type d
}
# Every file under the destination (temporary files aside) with its checksum.
manifest() {
  (cd "$dst" && find . -type f ! -name '~tessaline-*.tmp' -print0 | xargs -0 -r sha1sum) | LC_ALL=C sort
}
stamp="$work/stamp"

run_once() {  # one whole timed run; kills the program after it
  local lines
  lines="$(log_lines)"
  touch "$stamp"
  start_program
  wait_for_new_folder
  began="$(now_ms)"
  wait_for_complete_run "$lines"
  kill_program
}

say "first complete copy, then a complete linking run"
run_once
sleep 1  # the next folder's stamp must name a later second
edit_some 0
run_once
run_ms=$(($(now_ms) - began))
say "a linking run takes about $run_ms ms here"

while more_rounds run; do
  sleep 1
  edit_some "$rounds"
  manifest >"$work/before"
  lines="$(log_lines)"
  touch "$stamp"
  start_program
  wait_for_new_folder
  pids="$(program_pids)"  # found before the wait, so the kill lands when it is meant to
  delay=$((RANDOM % (run_ms > 0 ? run_ms : 1)))
  sleep "$((delay / 1000)).$(printf '%03d' $((delay % 1000)))"
  [ -n "$pids" ] && kill -9 $pids 2>/dev/null || true
  kill_program
  manifest >"$work/after"
  changed="$(LC_ALL=C comm -23 "$work/before" "$work/after" | head -n 3)"
  [ -z "$changed" ] || fail "an earlier backup folder changed: $changed"
  if [ "$(log_lines)" -gt "$lines" ]; then
    say "round $rounds: the run had finished before the kill"
  else
    kills=$((kills + 1))
    say "round $rounds: killed inside the run; every earlier folder intact"
  fi
done

say "a run after the kills completes"
sleep 1
manifest >"$work/before"
run_once
newest="$(find "$dst" -mindepth 1 -maxdepth 1 -type d -newer "$stamp" | head -n 1)"
[ -n "$newest" ] || fail "the last run left no folder"
diff -r "$src" "$newest" >/dev/null || fail "the last folder differs from the source"
[ "$(stat -c %h "$newest/large/1.bin")" -gt 1 ] || fail "the last folder shares no unchanged file"
manifest >"$work/after"
[ -z "$(LC_ALL=C comm -23 "$work/before" "$work/after" | head -n 1)" ] || fail "an earlier folder changed"
say "$kills kills inside linking runs in $rounds rounds: every earlier folder intact, the next run whole and linked"
rm -rf "$work"
