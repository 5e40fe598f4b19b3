#!/usr/bin/env bash
# The program killed outright (kill -9 on its own process) at random moments of first copies,
# where files are written under their own names: every file left behind must be whole and
# current (the source's content and write time) or carry a size or write time its source does
# not have, so that the next run recopies it; and the run after the last kill must complete
# with a copy equal to the source. A manifest is there only once a copy has gone through, and
# then checks.
#   kill_during_first_copy.sh TESSALINE_EXE WORK_FOLDER [KILLS]
# Runs inside the test prefix ($WINEPREFIX) and display ($DISPLAY) that ./x test provides.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/program.sh"
kill_test_start 20 "$@"
copy="$dst/Data"
mkdir -p "$src/large"
# Enough small files that a first copy lasts long enough to be killed inside it.
for d in $(seq -w 0 19); do
  mkdir -p "$src/small$d"
  for i in $(seq -w 0 149); do
    printf 'small file %s/%s %*s\n' "$d" "$i" "$((10#$i % 97))" "" >"$src/small$d/$i.txt"
  done
done
for i in 1 2 3 4 5 6; do
  head -c $((6 * 1024 * 1024 + i * 4099)) < <(yes "large file $i") >"$src/large/$i.bin"
done
# Sizes and write times as Windows keeps them: times in steps of 100 ns.
listing() {
  find "$1" -type f -printf '%s %T@ %p\n' 2>/dev/null |
    awk '{ split($2, t, "."); $2 = t[1] "." substr(t[2] "0000000", 1, 7); print }'
}
declare -A sum size mtime
while read -r s path; do sum["${path#"$src/"}"]="$s"; done < <(find "$src" -type f -exec sha1sum {} +)
while read -r bytes when path; do
  size["${path#"$src/"}"]="$bytes"
  mtime["${path#"$src/"}"]="$when"
done < <(listing "$src")

forget_settings_and_log
setting Folders "$(winepath -w "$src");"
setting Path "$(winepath -w "$dst")"
setting "Include Date" Off
# A backup from the command line starts at once, with the stored settings.
start_backup() { (cd "$(dirname "$exe")" && wine "$exe" /backup </dev/null >/dev/null 2>&1 &); }

trap 'kill_program >/dev/null 2>&1 || true' EXIT

# Every file of the copy is whole and current, or shows by its size or write time that it is
# not; prints how many are cut short. Temporary files (a write-time probe cut short) are left
# for the next run to delete.
check_copy() {
  local stale=0 path rel bytes when
  while read -r bytes when path; do
    rel="${path#"$copy/"}"
    case "$(basename "$rel")" in '~tessaline-'*.tmp) continue ;; esac
    [ -n "${sum[$rel]:-}" ] || fail "$rel is in the copy but not in the source"
    if [ "$bytes" = "${size[$rel]}" ] && [ "$when" = "${mtime[$rel]}" ]; then
      [ "$(sha1sum "$path" | cut -d' ' -f1)" = "${sum[$rel]}" ] ||
        fail "$rel has its source's size and write time but not its content"
    else
      stale=$((stale + 1))
    fi
  done < <(listing "$copy")
  echo "$stale"
}

wait_for_first_write() {
  wait_for_change_since_stamp "the backup never started writing" "$dst"
}

say "one complete first copy"
stamp="$work/stamp"
touch "$stamp"
start_backup
wait_for_first_write
began="$(now_ms)"
wait_for_complete_run 0
run_ms=$(($(now_ms) - began))
kill_program
[ "$(check_copy)" -eq 0 ] || fail "a complete first copy holds files cut short"
diff -r "$src" "$copy" >/dev/null || fail "a complete first copy differs from its source"
manifest_checks "$copy" || fail "a complete first copy's manifest does not check"
say "a whole first copy takes about $run_ms ms here"

cut_short=0
while more_rounds run; do
  rm -rf "$copy" "$copy.sha256"
  lines="$(log_lines)"
  touch "$stamp"
  start_backup
  wait_for_first_write
  kill_within "$run_ms"
  stale="$(check_copy)"
  # A killed run leaves its claim (not complete, no file lines) or, once the copy had gone
  # through, a manifest that checks.
  [ ! -e "$copy.sha256" ] || manifest_checks "$copy" ||
    { grep -qx '# complete: no' "$copy.sha256" && ! grep -qv '^#' "$copy.sha256"; } ||
    fail "a manifest there is neither a claim nor one that checks"
  if [ "$(log_lines)" -gt "$lines" ]; then
    say "round $rounds: the run had finished before the kill"
    run_ms="$(earlier_aim "$run_ms")"
  else
    kills=$((kills + 1))
    cut_short=$((cut_short + stale))
    say "round $rounds: killed inside the first copy ($stale file(s) cut short)"
  fi
done

say "a run after the last kill completes"
lines="$(log_lines)"
start_backup
wait_for_complete_run "$lines"
kill_program
[ "$(check_copy)" -eq 0 ] || fail "files cut short remain after a complete run"
[ -z "$(find "$copy" -name '~tessaline-*.tmp' -print -quit)" ] ||
  fail "temporary files remain after a complete run"
diff -r "$src" "$copy" >/dev/null || fail "the copy differs from the source after a complete run"
manifest_checks "$copy" || fail "the manifest of a complete run does not check"
[ -z "$(find "$dst" -maxdepth 1 -name '~tessaline-*.tmp' -print -quit)" ] ||
  fail "a temporary manifest remains after a complete run"
say "$kills kills inside first copies in $rounds rounds, $cut_short file(s) cut short in all:"
say "every file whole and current or found out of date, and the next run completed"
rm -rf "$work"
