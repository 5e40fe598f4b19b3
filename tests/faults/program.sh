# What the fault scripts share, sourced before the program is started (`exe` is read when a
# function runs): messages, the program's settings and history log in the test prefix
# ($WINEPREFIX), the program itself started, found and killed outright, and the start every
# kill test makes.

say() { printf '%s\n' "$*"; }
fail() {
  say "FAILED: $*" >&2
  exit 1
}

settings_key='HKCU\Software\VB and VBA Program Settings\Quintaro\Tessaline'
setting() { wine reg add "$settings_key" /v "$1" /t REG_SZ /d "$2" /f </dev/null >/dev/null 2>&1; }
# Starts from no settings at all and no history log.
forget_settings_and_log() {
  wine reg delete "$settings_key" /f </dev/null >/dev/null 2>&1 || true
  local temp
  temp="$(wine cmd /c echo %TEMP% </dev/null 2>/dev/null | tr -d '\r')"
  log="$(winepath -u "$temp")/Tessaline.txt"
  rm -f "$log"
}
log_lines() { if [ -f "$log" ]; then wc -l <"$log"; else echo 0; fi; }

# The program's own process: its first argument is the exe's path, Unix or Windows form (a
# script's arguments name the exe too, but not in first place), and it runs in this prefix.
program_pids() {
  local proc first
  for proc in /proc/[0-9]*; do
    first="$({ tr '\0' '\n' <"$proc/cmdline" | head -n 1; } 2>/dev/null)" || continue
    case "${first,,}" in */tessaline.exe | *\\tessaline.exe) ;; *) continue ;; esac
    if { tr '\0' '\n' <"$proc/environ" | grep -qx "WINEPREFIX=$WINEPREFIX"; } 2>/dev/null; then
      echo "${proc#/proc/}"
    fi
  done
}
start_program() { (cd "$(dirname "$exe")" && wine "$exe" </dev/null >/dev/null 2>&1 &); }
# True once the program's processes have gone, within the given tenths of a second.
gone_within() {
  local _
  for _ in $(seq "$1"); do
    [ -z "$(program_pids)" ] && return 0
    sleep 0.1
  done
  return 1
}
# kill -9 on the program's own process, never by name, and wait until it has gone.
kill_program() {
  local pids
  pids="$(program_pids)"
  [ -n "$pids" ] && kill -9 $pids 2>/dev/null || true
  gone_within 100 || fail "the program did not end after kill -9"
}

# Waits until the log has grown past `lines`; the new last line must say the copy of the source
# folder "Data" is complete.
wait_for_complete_run() {
  local lines="$1" _
  for _ in $(seq 600); do
    if [ "$(log_lines)" -gt "$lines" ]; then
      tail -n 1 "$log" | grep -q '^Data was backup saved at ' ||
        fail "run not complete: $(tail -n 1 "$log")"
      return 0
    fi
    sleep 0.1
  done
  fail "no run completed within a minute"
}

# True when the backup folder's manifest beside it says its copy went through whole and checks
# with sha256sum, every file of it as it lists it.
manifest_checks() {
  local folder="$1"
  grep -qx '# complete: yes' "$folder.sha256" 2>/dev/null &&
    (cd "$folder" && sha256sum -c --strict --quiet "../$(basename "$folder").sha256" >/dev/null 2>&1)
}

# Waits up to 12 s for find, given its paths and tests, to name something changed since the
# file $stamp; fails saying what never happened otherwise.
wait_for_change_since_stamp() {
  local what="$1" _
  shift
  for _ in $(seq 600); do
    [ -n "$(find "$@" -newer "$stamp" -print -quit 2>/dev/null)" ] && return 0
    sleep 0.02
  done
  fail "$what"
}

now_ms() { date +%s%3N; }
# kill -9 on the program at a random moment within the next ms milliseconds.
kill_within() {
  local ms="$1" delay
  delay=$((RANDOM % (ms > 0 ? ms : 1)))
  sleep "$((delay / 1000)).$(printf '%03d' $((delay % 1000)))"
  kill_program
}
# After a run ended before its kill: later runs may be quicker, and on a busy machine the first
# write is seen late, so kills aim at an earlier part of the run, still at random within it.
earlier_aim() { echo $(($1 * 3 / 4 > 20 ? $1 * 3 / 4 : 20)); }
# The loop of a kill test, `while more_rounds run; do`: true, and one round more counted, while
# fewer than kills_wanted kills have landed inside a run (or what the argument names); fails
# once max_rounds have passed without them.
more_rounds() {
  [ "$kills" -lt "$kills_wanted" ] || return 1
  rounds=$((rounds + 1))
  [ "$rounds" -le "$max_rounds" ] || fail "only $kills of $rounds kills landed inside a $1"
}

# The arguments of a kill test (TESSALINE_EXE WORK_FOLDER [KILLS], KILLS defaulting to the first
# argument here) and its empty work folder: sets exe, work, kills_wanted, max_rounds (three
# tries a kill), kills and rounds (none yet), src (not yet made) and dst (made).
kill_test_start() {
  local default_kills="$1"
  shift
  exe="$1"
  work="$2"
  kills_wanted="${3:-$default_kills}"
  max_rounds=$((kills_wanted * 3))
  kills=0
  rounds=0
  rm -rf "$work"
  mkdir -p "$work"
  src="$work/Data"
  dst="$work/Backups"
  mkdir -p "$dst"
}
