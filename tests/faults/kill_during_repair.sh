#!/usr/bin/env bash
# The program killed outright (kill -9 on its own process) at random moments of /backup runs that
# find a damaged backup copy and write it again from its unchanged source: after every kill the
# copy is whole, or /verify still names it damaged; a copy half written over never passes for
# whole. A run left to finish then mends it.
#   kill_during_repair.sh TESSALINE_EXE WORK_FOLDER [KILLS]
# Runs inside the test prefix ($WINEPREFIX) and display ($DISPLAY) that ./x test provides.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/program.sh"
kill_test_start 5 "$@"
mkdir -p "$src"
# One file large enough that reading it back and writing it again take a second or two here.
head -c $((96 * 1024 * 1024)) < <(yes "large file") >"$src/big.bin"
copy="$dst/Data/big.bin"

forget_settings_and_log
setting Folders "$(winepath -w "$src");"
setting Path "$(winepath -w "$dst")"
setting "Include Date" Off  # one folder, its copy written over in place

trap 'kill_program >/dev/null 2>&1 || true' EXIT

# Starts a /backup run and returns once its process is there.
backup() {
  local _
  (cd "$(dirname "$exe")" && wine "$exe" /backup </dev/null >/dev/null 2>&1 &)
  for _ in $(seq 200); do
    [ -n "$(program_pids)" ] && return 0
    sleep 0.1
  done
  fail "the /backup run never started"
}
wait_until_gone() { gone_within 1200 || fail "the run did not end within two minutes"; }
# One byte changed in the middle, size and write time as they were: a failing disk's damage.
damage() {
  printf 'X' | dd of="$copy" bs=1 seek=$((48 * 1024 * 1024)) conv=notrunc status=none
  touch -m -r "$src/big.bin" "$copy"
}
whole() { cmp -s "$src/big.bin" "$copy"; }
verify_names_it() {
  local out
  out="$(cd "$(dirname "$exe")" && wine "$exe" /verify </dev/null 2>/dev/null | tr -d '\r')" && return 1
  grep -q "^damaged: .*big.bin\$" <<<"$out"
}

say "a first whole copy"
backup
wait_until_gone
whole || fail "the first copy differs from the source"

say "a damaged copy, mended by a run left to finish"
damage
lines="$(log_lines)"
backup
began="$(now_ms)"
wait_until_gone
run_ms=$(($(now_ms) - began))
whole || fail "the run did not mend the copy"
tail -n +"$((lines + 1))" "$log" | grep -q '^Data: a damaged backup copy was repaired at ' ||
  fail "the log does not tell the repair: $(tail -n 2 "$log")"
say "such a run takes about $run_ms ms here"

while more_rounds run; do
  whole && damage
  backup
  # The entry's history line comes before its reading back: only the process tells whether the
  # run was still going.
  delay=$((RANDOM % run_ms))
  sleep "$((delay / 1000)).$(printf '%03d' $((delay % 1000)))"
  running="$(program_pids)"
  kill_program
  if whole; then
    state="whole"
  elif verify_names_it; then
    state="still named damaged by /verify"
  else
    fail "round $rounds: the copy differs from its source and /verify takes it for whole"
  fi
  if [ -z "$running" ]; then
    say "round $rounds: the run had finished before the kill; the copy is $state"
  else
    kills=$((kills + 1))
    say "round $rounds: killed inside the run; the copy is $state"
  fi
done

say "a run after the kills mends what is left"
backup
wait_until_gone
whole || fail "the copy is still damaged after a whole run"
(cd "$dst/Data" && sha256sum -c --quiet ../Data.sha256) || fail "the manifest does not check"
say "$kills kills inside repairing runs in $rounds rounds: never half-mended and taken for whole"
rm -rf "$work"
