#!/usr/bin/env bash
# The program killed outright (kill -9 on its own process) at random moments while a backup run
# from the command line removes older dated backup folders ("Keep Fewer Backups" on): every
# folder left under a backup folder's name must be whole and keep its manifest, and the next run
# must finish what the killed one left, manifests of removed folders included, keep exactly what
# an uninterrupted run keeps, and leave the read-only file the kept folders share read-only.
#   kill_during_thinning.sh TESSALINE_EXE WORK_FOLDER [KILLS]
# Runs inside the test prefix ($WINEPREFIX) that ./x test provides.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/program.sh"
kill_test_start 8 "$@"
mkdir -p "$src"
printf 'the source\n' >"$src/a.txt"

# Older backups of "Data": two a day, 35 to 114 days back, each of 40 files shared by links with
# the others as a run's snapshots share them (one of them read-only), so a run that keeps one a
# week removes about 150 folders and takes a few seconds under Wine.
template="$work/template"
mkdir -p "$template"
first=""
names=()
for days in $(seq 35 114); do
  for hour in 02 14; do
    name="$(LC_ALL=C date -d "$(date +%F) -$days days $hour:00:00" +'DataDate %b %-d %Y Time %I %M %S %p')"
    names+=("$name")
    if [ -z "$first" ]; then
      first="$template/$name"
      mkdir -p "$first/sub"
      for i in $(seq -w 0 39); do printf 'file %s of an older backup\n' "$i" >"$first/sub/$i.txt"; done
      chmod a-w "$first/sub/00.txt"
    else
      cp -al "$first" "$template/$name"
    fi
  done
done
# Each older folder has its manifest beside it, as a run writes them.
for name in "${names[@]}"; do
  { printf '# Tessaline backup manifest\n# complete: yes\n# files: 40\n'
    (cd "$first" && sha256sum sub/*.txt); } >"$template/$name.sha256"
done
content() { (cd "$1" && find . -type f | LC_ALL=C sort | xargs cat | sha1sum | cut -d' ' -f1); }
whole="$(content "$first")"

forget_settings_and_log
setting Folders "$(winepath -w "$src");"
setting Path "$(winepath -w "$dst")"
setting "Include Date" On
setting "Backup Option" 1
setting "Keep Fewer Backups" On

trap 'kill_program >/dev/null 2>&1 || true' EXIT

fresh_destination() {
  rm -rf "$dst"
  cp -a "$template" "$dst"
}
start_backup() { (cd "$(dirname "$exe")" && wine "$exe" /backup </dev/null >/dev/null 2>&1 &); }
wait_for_exit() { gone_within 1200 || fail "a run did not end within two minutes"; }
# Every older folder still under its name is whole, with its manifest (which goes only after its
# folder); prints how many leftovers there are.
check_whole() {
  local name
  for name in "${names[@]}"; do
    [ -d "$dst/$name" ] || continue
    [ "$(content "$dst/$name")" = "$whole" ] || fail "$name keeps a backup name but is not whole"
    manifest_checks "$dst/$name" || fail "$name is left without its manifest"
  done
  find "$dst" -mindepth 1 -maxdepth 1 -type d -name '~tessaline-*.tmp' | wc -l
}
# The read-only file every older folder shares, wherever a name of it is left, has no write bit.
check_read_only() {
  [ -z "$(find "$dst" -path '*/sub/00.txt' -perm /222 | head -n 1)" ] || fail "$1"
}
# No manifest is left without its folder.
no_lone_manifests() {
  local name
  for name in "${names[@]}"; do
    [ ! -e "$dst/$name.sha256" ] || [ -d "$dst/$name" ] || fail "$name.sha256 outlived its folder"
  done
}
# The older folders still there, one a line.
older_left() {
  local name
  for name in "${names[@]}"; do [ -d "$dst/$name" ] && echo "$name"; done
  return 0
}

stamp="$work/stamp"
# Starts a run and returns once it has made its new folder: its removals come next.
start_and_wait_for_its_folder() {
  touch "$stamp"
  start_backup
  wait_for_change_since_stamp "the run never made its folder" "$dst" -mindepth 1 -maxdepth 1 -type d
}

say "an uninterrupted run, for what it keeps and how long its removals take"
fresh_destination
lines="$(log_lines)"
start_and_wait_for_its_folder
began="$(now_ms)"
wait_for_exit
run_ms=$(($(now_ms) - began))
[ "$(log_lines)" -eq $((lines + 2)) ] || fail "expected a saved line and a removal line: $(tail -n 2 "$log")"
tail -n 1 "$log" | grep -q '^Data had [0-9]* older backup folders removed at ' ||
  fail "no removal line: $(tail -n 1 "$log")"
older_left >"$work/kept"
[ "$(wc -l <"$work/kept")" -lt 30 ] || fail "too few folders were removed"
[ "$(check_whole)" -eq 0 ] || fail "an uninterrupted run left a removal unfinished"
check_read_only "an uninterrupted run left the kept folders' read-only file writable"
no_lone_manifests
say "it keeps $(wc -l <"$work/kept") of ${#names[@]} older folders, removing the rest in about $run_ms ms"

while more_rounds removal; do
  fresh_destination
  lines="$(log_lines)"
  start_and_wait_for_its_folder
  kill_within "$run_ms"
  left="$(older_left | wc -l)"
  leftovers="$(check_whole)"
  # Where a read-only name cannot go as it is (Wine), its bit is off for a moment; the removal
  # that finishes puts it back.
  writable=""
  [ -z "$(find "$dst" -path '*/sub/00.txt' -perm /222 | head -n 1)" ] || writable=", read-only bit off until the next run"
  if [ "$(log_lines)" -ge $((lines + 2)) ]; then
    say "round $rounds: the run had finished before the kill"
  elif [ "$left" -eq "${#names[@]}" ] && [ "$leftovers" -eq 0 ]; then
    say "round $rounds: killed before any removal"
  else
    kills=$((kills + 1))
    say "round $rounds: killed inside the removal, $left older folders left whole, $leftovers unfinished$writable"
  fi
  # The next run finishes the rest and keeps what an uninterrupted run keeps.
  start_backup
  sleep 0.5
  wait_for_exit
  [ "$(check_whole)" -eq 0 ] || fail "the next run left a removal unfinished"
  no_lone_manifests
  older_left | cmp -s - "$work/kept" || fail "the next run kept other folders than a whole run"
  check_read_only "after a kill and the next run, the kept folders' read-only file is writable"
done
say "$kills kills inside removals in $rounds rounds: every folder with a backup name whole, the next run finished the rest"
rm -rf "$work"
