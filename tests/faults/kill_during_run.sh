#!/usr/bin/env bash
# The program killed outright (kill -9 on its own process) at random moments of timed
# overwrite runs: every file of the backup must be the earlier copy or the new source, whole,
# and the next run must complete and leave no temporary file behind.
#   kill_during_run.sh TESSALINE_EXE WORK_FOLDER [KILLS]
# Runs inside the test prefix ($WINEPREFIX) and display ($DISPLAY) that ./x test provides.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/program.sh"
kill_test_start 20 "$@"
copy="$dst/Data"

# Two versions of the source whose files differ in size as well as content, so no run can take
# one for the other.
make_version() {
  local folder="$1" tag="$2" pad="$3" i
  mkdir -p "$folder/small" "$folder/large"
  for i in $(seq -w 0 599); do
    printf '%s small file %s %*s\n' "$tag" "$i" "$pad" "" >"$folder/small/$i.txt"
  done
  for i in 1 2 3 4 5 6; do
    head -c $((4 * 1024 * 1024 + pad * 1000)) < <(yes "$tag large file $i") >"$folder/large/$i.bin"
  done
}
make_version "$work/A" "first" 3
make_version "$work/B" "second" 11
declare -A sum_a sum_b
while read -r sum path; do sum_a["${path#"$work/A/"}"]="$sum"; done < <(find "$work/A" -type f -exec sha1sum {} +)
while read -r sum path; do sum_b["${path#"$work/B/"}"]="$sum"; done < <(find "$work/B" -type f -exec sha1sum {} +)
use_version() {
  rm -rf "$src"
  cp -a "$work/$1" "$src"
}

forget_settings_and_log
setting Folders "$(winepath -w "$src");"
setting Path "$(winepath -w "$dst")"
setting StartStopState On
setting OftenIndex 1  # every 5 seconds
setting "Include Date" Off

trap 'kill_program >/dev/null 2>&1 || true' EXIT

# Every file of the copy is one version or the other, whole; temporary files are counted.
check_copy() {
  local temps=0 path rel sum
  while IFS= read -r path; do
    rel="${path#"$copy/"}"
    case "$(basename "$rel")" in
      '~tessaline-'*.tmp) temps=$((temps + 1)); continue ;;
    esac
    sum="$(sha1sum "$path" | cut -d' ' -f1)"
    [ "$sum" = "${sum_a[$rel]:-none}" ] || [ "$sum" = "${sum_b[$rel]:-none}" ] ||
      fail "$rel is neither the earlier copy nor the new file ($(stat -c %s "$path") bytes)"
  done < <(find "$copy" -type f)
  [ "$(find "$copy" -type f ! -name '~tessaline-*.tmp' | wc -l)" -eq "${#sum_a[@]}" ] ||
    fail "files are missing from the copy"
  echo "$temps"
}

# Waits until the run writes into the copy (anything newer than the stamp file).
wait_for_first_write() {
  wait_for_change_since_stamp "the timed run never started writing" "$copy" "$dst"
}

say "first complete copy"
stamp="$work/stamp"
use_version A
touch "$stamp"
start_program
wait_for_first_write
began="$(now_ms)"
wait_for_complete_run 0
# Kills fall at random moments within the time a whole run takes on this machine.
run_ms=$(($(now_ms) - began))
kill_program
check_copy >/dev/null
say "a whole run takes about $run_ms ms here"

version=A
while more_rounds run; do
  if [ "$version" = A ]; then version=B; else version=A; fi
  use_version "$version"
  lines="$(log_lines)"
  touch "$stamp"
  start_program
  wait_for_first_write
  kill_within "$run_ms"
  temps="$(check_copy)"
  if [ "$(log_lines)" -gt "$lines" ]; then
    say "round $rounds: the run had finished before the kill"
    run_ms="$(earlier_aim "$run_ms")"
  else
    kills=$((kills + 1))
    say "round $rounds: killed inside the run ($temps temporary file(s) left)"
  fi
done

say "a run after the kills completes"
lines="$(log_lines)"
start_program
wait_for_complete_run "$lines"
kill_program
temps="$(check_copy)"
[ "$temps" -eq 0 ] || fail "$temps temporary files are left after a complete run"
diff -r "$src" "$copy" >/dev/null || fail "the copy differs from the source after a complete run"
say "$kills kills inside a run in $rounds rounds: every copy intact or fully replaced"
rm -rf "$work"
