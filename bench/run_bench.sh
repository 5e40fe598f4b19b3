#!/usr/bin/env bash
# Copy benchmark: the engine's CopyFolder against a bare FindFirstFileExW + CopyFileExW loop,
# four threads calling CopyFileExW over the same walk, xcopy under Wine and cp -r on Linux, on
# 5,000 small files plus 5 files of 50 MB; then the engine's second run onto its own copy, how
# long its window's thread takes to answer while it copies a 1 GB file, and its peak memory for
# 5,000 and 100,000 files. Called by ./x bench with WINEPREFIX (and DISPLAY) exported.
# Then the default options: the same tree backed up ten times into new folders, each linked to
# the one before and each set against a bare FindFirstFileExW + CreateHardLinkW loop over the same
# earlier folder, with a changed file at the end and 100,000 files for memory.
# The engine hashes every file it writes and writes its manifest, as the program does; the same
# first copy without hashing runs beside it in every round, for what the manifest costs. Then the
# read-back: three linked dated folders of one source (2,000 small files and 3 x 40 MB), each with
# its manifest, read back as /verify reads them (a shared file once) and set against a bare
# FindFirstFileExW + ReadFile + CNG SHA-256 loop over one of them.
# BENCH_ONLY=manifests runs only the first copy with and without hashing and the read-back.
# BENCH_ROUNDS sets the rounds (default 5); BENCH_WORKERS="1 2 4 8" adds the engine with each
# number of writer threads to every round, for sizing the pool. BENCH_ONLY=snapshots runs only
# the default-options case.
#
# Two measures per run: wall-clock seconds (the engine and the bare loop time themselves,
# without process start) and CPU seconds (the process tree's user and system time plus what
# the Wine server spent meanwhile, process start included). The second is the steadier one
# on a machine whose cores other work shares.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BENCH="$ROOT/build/win/tessaline_bench.exe"
ROUNDS="${BENCH_ROUNDS:-5}"
: "${WINEPREFIX:?WINEPREFIX must be set (use ./x bench)}"
WORK_UNIX="$WINEPREFIX/drive_c/tessbench"
WORK='C:\tessbench'
SOURCE_FILES=5005
CLK="$(getconf CLK_TCK)"
TMP="$(mktemp -d)"

log() { printf '== %s\n' "$*" >&2; }
die() { printf 'bench: %s\n' "$*" >&2; exit 1; }
run() { wine "$BENCH" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
field() { sed -n "s/.*\b$1=\([^ ]*\).*/\1/p" <<<"$2" | head -1; }
now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
median() { tr ' ' '\n' | grep . | sort -g | awk '{ v[NR] = $1 } END {
  printf "%.3f", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
ratio3() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }
mb() { awk -v b="$1" 'BEGIN { printf "%.1f MB", b / 1048576 }'; }

# The Wine server of this prefix: its working folder is named after the prefix's device and
# inode numbers.
SERVER_PID=""
find_server() {
  local tag p
  tag="server-$(printf '%x' "$(stat -c %d "$WINEPREFIX")")-$(printf '%x' "$(stat -c %i "$WINEPREFIX")")"
  for p in $(pgrep wineserver || true); do
    case "$(readlink "/proc/$p/cwd" 2>/dev/null)" in */"$tag") SERVER_PID=$p ;; esac
  done
}
server_ticks() {
  if [ -n "$SERVER_PID" ] && [ -r "/proc/$SERVER_PID/stat" ]; then
    awk '{ print $14 + $15 }' "/proc/$SERVER_PID/stat"
  else
    echo 0
  fi
}

# measure CMD...: runs CMD; sets OUT (its output), WALL (as the program timed itself, else from
# outside), OUTSIDE (from outside, process start included) and CPU (seconds).
measure() {
  local before after times t0 t1
  before=$(server_ticks)
  t0=$(now)
  times=$( { TIMEFORMAT='%3U %3S'; time "$@" >"$TMP/out" 2>/dev/null </dev/null; } 2>&1 ) || return 1
  t1=$(now)
  after=$(server_ticks)
  OUT=$(tr -d '\r' <"$TMP/out")
  OUTSIDE=$(elapsed "$t0" "$t1")
  WALL=$(field seconds "$OUT")
  [ -n "$WALL" ] || WALL=$OUTSIDE
  CPU=$(awk -v t="$times" -v d="$((after - before))" -v hz="$CLK" \
    'BEGIN { split(t, a, " "); printf "%.3f", a[1] + a[2] + d / hz }')
}

# A destination never used before, with earlier copies' dirty pages written out before timing
# starts. Nothing is deleted until the bench ends: on ext4, creating files soon after many were
# deleted costs several times more (the allocator passes over recently freed inodes for a minute
# or more), which would charge whichever copy came after a deletion.
DEST_COUNT=0
fresh() {
  DEST_COUNT=$((DEST_COUNT + 1))
  DEST="$1-$DEST_COUNT"
  sync
}
verify() {
  local out
  out="$(run verify "$WORK\\src" "$WORK\\$2" 50)" || die "$1 copy differs from its source: $out"
  [ "$(field files "$out")" = "$SOURCE_FILES" ] || die "$1 copy: unexpected file count: $out"
}

[ -f "$BENCH" ] || die "missing $BENCH (./x build)"
started=$(now)
wineserver -p 900 </dev/null >/dev/null 2>&1 || true
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
find_server
[ -n "$SERVER_PID" ] || log "Wine server not found: CPU figures leave out its share"
rm -rf "${WORK_UNIX:?}"
mkdir -p "$WORK_UNIX"
# Every copy stays until the end (see fresh): about 300 MB a copy, 200 MB for the trees and
# 1.2 GB for the 100,000 files and their copies.
need_mb=$(( (ROUNDS * (6 + $(wc -w <<<"${BENCH_WORKERS:-}")) + 12) * 300 ))
free_mb=$(df -Pm "$WORK_UNIX" | awk 'NR == 2 { print $4 }')
[ "$free_mb" -ge "$need_mb" ] || die "needs about $need_mb MB free next to the prefix, has $free_mb MB"
# The copies go to a new ext4 file system of their own where the machine allows it (as root,
# with loop devices): a file system that has seen other work (tests deleting their trees) makes
# file creation several times dearer for minutes, by an amount no run can foresee.
IMAGE="$ROOT/build/bench-volume.img"
MOUNTED=""
rm -f "$IMAGE"
if [ "$(id -u)" = 0 ] && truncate -s "$((need_mb + 2048))M" "$IMAGE" 2>/dev/null &&
  mkfs.ext4 -q -F "$IMAGE" >/dev/null 2>&1 && mount -o loop "$IMAGE" "$WORK_UNIX" 2>/dev/null; then
  MOUNTED=1
  VOLUME="a new ext4 file system of its own"
else
  rm -f "$IMAGE"
  VOLUME="the prefix's own folder (no loop mount here)"
fi
cleanup() {
  if [ -n "$MOUNTED" ]; then umount "$WORK_UNIX" 2>/dev/null || umount -l "$WORK_UNIX" 2>/dev/null || true; fi
  rm -rf "${WORK_UNIX:?}" "$TMP" "$IMAGE"
}
trap cleanup EXIT
log "copies are made on $VOLUME"

log "generating the trees: 5,000 files of 1-8 KB in 100 folders and 5 files of 50 MB;"
log "1,000 small files and one of 1 GB; 5,000 and 100,000 small files"
run generate "$WORK\\src" 5000 5 50 >/dev/null || die "cannot generate the tree"
if [ -z "${BENCH_ONLY:-}" ]; then
  run generate "$WORK\\huge" 1000 1 1024 >/dev/null || die "cannot generate the tree"
  run generate "$WORK\\small5k" 5000 0 0 >/dev/null || die "cannot generate the tree"
fi
if [ "${BENCH_ONLY:-}" != manifests ]; then
  run generate "$WORK\\small100k" 100000 0 0 >/dev/null || die "cannot generate the tree"
fi

# The default options (stamp on, a new folder on every run): ten runs of an unchanged tree, each
# folder linked to the one before as a stamped run links it, and after each the bare link loop
# over the same earlier folder into a folder of its own (the Win32 floor of a linked run); then
# one changed file; then memory for 100,000 files. Sets the SNAP_* figures.
snapshot_case() {
  local k later="" loops="" out rel old new sum
  log "default options: ten new folders of the same tree, each linked to the one before"
  fresh snaps
  local snaps="$DEST"
  mkdir -p "$WORK_UNIX/$snaps"
  measure wine "$BENCH" snapshot "$WORK\\src" "$WORK\\$snaps\\run1" - || die "first run failed: $OUT"
  SNAP_FIRST=$WALL
  verify "first snapshot" "$snaps\run1"
  for k in $(seq 2 10); do
    sync
    measure wine "$BENCH" snapshot "$WORK\\src" "$WORK\\$snaps\\run$k" "$WORK\\$snaps\\run$((k - 1))" ||
      die "run $k failed: $OUT"
    [ "$(field linked "$OUT")" = "$SOURCE_FILES" ] || die "run $k did not link every file: $OUT"
    later+=" $WALL"
    sync
    measure wine "$BENCH" links "$WORK\\$snaps\\run$((k - 1))" "$WORK\\$snaps-loop$k" ||
      die "link loop $k failed: $OUT"
    [ "$(field linked "$OUT")" = "$SOURCE_FILES" ] || die "link loop $k did not link every file: $OUT"
    loops+=" $WALL"
  done
  verify "tenth snapshot" "$snaps\run10"
  SNAP_LATER_RUNS=$later
  SNAP_LATER=$(median <<<"$later")
  SNAP_LOOP_RUNS=$loops
  SNAP_LOOP=$(median <<<"$loops")
  SNAP_ONE=$(du -s --block-size=1 "$WORK_UNIX/$snaps/run1" | cut -f1)
  SNAP_TEN=$(du -s --block-size=1 "$WORK_UNIX/$snaps" | cut -f1)  # du counts a linked file once

  rel="group3/folder4/file7.dat"
  old="$(sha1sum <"$WORK_UNIX/src/$rel")"
  printf 'changed after ten runs\n' >>"$WORK_UNIX/src/$rel"
  new="$(sha1sum <"$WORK_UNIX/src/$rel")"
  out="$(run snapshot "$WORK\\src" "$WORK\\$snaps\\run11" "$WORK\\$snaps\\run10")" ||
    die "run after the change failed: $out"
  SNAP_CONTENT="met"
  [ "$(field copied "$out")" = 1 ] || SNAP_CONTENT="NOT MET (copied $(field copied "$out"))"
  run verify "$WORK\\src" "$WORK\\$snaps\\run11" 1 >/dev/null || SNAP_CONTENT="NOT MET (newest differs)"
  [ "$(sha1sum <"$WORK_UNIX/$snaps/run11/$rel")" = "$new" ] || SNAP_CONTENT="NOT MET (newest)"
  for k in $(seq 1 10); do
    sum="$(sha1sum <"$WORK_UNIX/$snaps/run$k/$rel")"
    [ "$sum" = "$old" ] || SNAP_CONTENT="NOT MET (run $k changed)"
  done
  truncate -s -23 "$WORK_UNIX/src/$rel"  # the tree as the other cases expect it

  fresh s100
  out="$(run snapshot "$WORK\\small100k" "$WORK\\$DEST\\a" -)" || die "100,000 files: $out"
  out="$(run snapshot "$WORK\\small100k" "$WORK\\$DEST\\b" "$WORK\\$DEST\\a")" ||
    die "100,000 files: $out"
  [ "$(field linked "$out")" = 100000 ] || die "100,000 files were not all linked: $out"
  SNAP_PEAK=$(field peak "$out")
}

# Three dated folders of one source, each linked to the one before and with its manifest, read
# back as /verify reads them, and the bare read loop over the first. Sets the VERIFY_* figures.
verify_case() {
  local k out
  log "reading back: three linked folders of 2,000 small files and 3 x 40 MB against a bare loop"
  run generate "$WORK\\vsrc" 2000 3 40 >/dev/null || die "cannot generate the tree"
  fresh back
  local back="$DEST"
  mkdir -p "$WORK_UNIX/$back"
  out="$(run snapshot "$WORK\\vsrc" "$WORK\\$back\\v1" -)" || die "first folder: $out"
  out="$(run snapshot "$WORK\\vsrc" "$WORK\\$back\\v2" "$WORK\\$back\\v1")" || die "second folder: $out"
  out="$(run snapshot "$WORK\\vsrc" "$WORK\\$back\\v3" "$WORK\\$back\\v2")" || die "third folder: $out"
  [ "$(field linked "$out")" = 2003 ] || die "the third folder did not link every file: $out"
  (cd "$WORK_UNIX/$back/v3" && sha256sum -c --strict --quiet ../v3.sha256 >/dev/null) ||
    die "the third folder's manifest does not check with sha256sum"
  VERIFY_RUNS="" READ_RUNS=""
  for k in $(seq "$ROUNDS"); do
    sync
    measure wine "$BENCH" verifybackups "$WORK\\$back" v1 v2 v3 || die "read-back failed: $OUT"
    [ "$(field files "$OUT")" = 6009 ] || die "the read-back did not check every line: $OUT"
    VERIFY_RUNS+=" $WALL"
    VERIFY_BYTES=$(field bytes "$OUT")
    measure wine "$BENCH" readloop "$WORK\\$back\\v1" || die "read loop failed: $OUT"
    READ_RUNS+=" $WALL"
    READ_BYTES=$(field bytes "$OUT")
  done
  VERIFY=$(median <<<"$VERIFY_RUNS")
  READ=$(median <<<"$READ_RUNS")
}

verify_report() {
  echo
  echo "Read-back: three dated folders of 2,000 files of 1-8 KB + 3 x 40 MB, linked, each with its manifest"
  echo "  as /verify reads them (a shared file once, two threads) ${VERIFY} s, $(mb "$VERIFY_BYTES") read; rounds, s:${VERIFY_RUNS}"
  echo "  bare FindFirstFileEx + ReadFile + CNG SHA-256 loop over one folder ${READ} s, $(mb "$READ_BYTES") read; rounds, s:${READ_RUNS}"
  goal "read-back of three linked folders / bare loop over one" "$(ratio3 "$VERIFY" "$READ")" 1.20
}

snapshot_report() {
  echo
  echo "Default options: ten new folders of 5,000 files of 1-8 KB + 5 x 50 MB, each linked to the one before"
  echo "  first run ${SNAP_FIRST} s; later runs (median) ${SNAP_LATER} s; later runs, s:${SNAP_LATER_RUNS}"
  echo "  bare link loop over the same earlier folder (median) ${SNAP_LOOP} s; loops, s:${SNAP_LOOP_RUNS}"
  echo "  later run / first full copy: $(ratio3 "$SNAP_LATER" "$SNAP_FIRST")"
  echo "  disk space: one full copy $(mb "$SNAP_ONE"), ten runs $(mb "$SNAP_TEN") (du, a linked file once)"
  goal "later run over an unchanged tree / bare link loop" "$(ratio3 "$SNAP_LATER" "$SNAP_LOOP")" 0.75
  goal "disk space of ten runs / one full copy" "$(ratio3 "$SNAP_TEN" "$SNAP_ONE")" 1.05
  goal "peak memory of a linking run, 100,000 files / 50 MB ($(mb "$SNAP_PEAK"))" \
    "$(ratio3 "$SNAP_PEAK" $((50 * 1048576)))" 1.00
  echo "  after one changed file: newest folder new, every older folder old, byte for byte: $SNAP_CONTENT"
}
goal() {
  awk -v what="$1" -v value="$2" -v target="$3" 'BEGIN {
    printf "  %-58s %6.3f  (target <= %.2f)  %s\n", what, value, target,
           value <= target ? "met" : "NOT MET" }'
}

if [ "${BENCH_ONLY:-}" = snapshots ]; then
  snapshot_case
  snapshot_report
  echo "Total bench time: $(elapsed "$started" "$(now)") s"
  exit 0
fi
# BENCH_ONLY=manifests: only what the manifests cost, the first copy with and without hashing
# against the single-threaded loop, and the read-back.
if [ "${BENCH_ONLY:-}" = manifests ]; then
  hashed="" unhashed="" loop=""
  for round in $(seq "$ROUNDS"); do
    log "round $round of $ROUNDS"
    fresh dst
    measure wine "$BENCH" engine "$WORK\\src" "$WORK\\$DEST" || die "engine run failed: $OUT"
    hashed+=" $WALL"
    verify engine "$DEST"
    (cd "$WORK_UNIX/$DEST" && sha256sum -c --strict --quiet "../$DEST.sha256" >/dev/null) ||
      die "the engine's manifest does not check with sha256sum"
    fresh dst
    measure wine "$BENCH" unhashed "$WORK\\src" "$WORK\\$DEST" || die "engine failed: $OUT"
    unhashed+=" $WALL"
    fresh dst
    measure wine "$BENCH" bare "$WORK\\src" "$WORK\\$DEST" || die "bare loop failed: $OUT"
    loop+=" $WALL"
  done
  verify_case
  h=$(median <<<"$hashed") u=$(median <<<"$unhashed") b=$(median <<<"$loop")
  echo
  echo "First copy of 5,000 files of 1-8 KB + 5 x 50 MB, medians of $ROUNDS rounds, on $VOLUME"
  echo "  hashing and writing the manifest ${h} s; without ${u} s; bare loop ${b} s"
  echo "  rounds, s: hashing${hashed}; without${unhashed}; loop${loop}"
  goal "first copy with its manifest / single-threaded loop" "$(ratio3 "$h" "$b")" 0.60
  echo "  what the manifest costs a first copy: $(ratio3 "$h" "$u") of the copy without it"
  verify_report
  echo "Total bench time: $(elapsed "$started" "$(now)") s"
  exit 0
fi

log "warming up"
fresh warm
run bare "$WORK\\src" "$WORK\\$DEST" >/dev/null
measure wine cmd /c exit
launch_wall=$WALL launch_cpu=$CPU

declare -A wall cpu outside
read_back_wall="" read_back_files="" read_back_bytes=""
add() { wall[$1]+=" $WALL"; cpu[$1]+=" $CPU"; outside[$1]+=" $OUTSIDE"; }
WORKER_COUNTS="${BENCH_WORKERS:-}"
for round in $(seq "$ROUNDS"); do
  log "round $round of $ROUNDS"
  fresh dst
  measure wine "$BENCH" engine "$WORK\\src" "$WORK\\$DEST" || die "engine run failed: $OUT"
  add engine
  verify engine "$DEST"
  sync
  measure wine "$BENCH" engine "$WORK\\src" "$WORK\\$DEST" || die "engine second run failed: $OUT"
  [ "$(field skipped "$OUT")" = "$SOURCE_FILES" ] || die "second run did not skip everything: $OUT"
  [ "$(field read_back_findings "$OUT")" = "0" ] || die "reading back found damage: $OUT"
  add skip
  read_back_wall+=" $(field read_back "$OUT")"
  read_back_files+=" $(field read_back_files "$OUT")"
  read_back_bytes+=" $(field read_back_bytes "$OUT")"

  fresh dst
  measure wine "$BENCH" unhashed "$WORK\\src" "$WORK\\$DEST" || die "engine without hashing failed: $OUT"
  add unhashed
  verify "engine without hashing" "$DEST"

  fresh dst
  measure wine "$BENCH" bare "$WORK\\src" "$WORK\\$DEST" || die "bare loop failed: $OUT"
  add bare
  verify "bare loop" "$DEST"

  fresh dst
  measure wine "$BENCH" pool 4 "$WORK\\src" "$WORK\\$DEST" || die "CopyFileExW pool failed: $OUT"
  add pool
  verify "CopyFileExW pool" "$DEST"

  for n in $WORKER_COUNTS; do
    fresh dst
    measure wine "$BENCH" engine "$WORK\\src" "$WORK\\$DEST" "$n" || die "engine ($n) failed: $OUT"
    add "w$n"
    verify "engine ($n threads)" "$DEST"
  done

  fresh dst
  measure wine xcopy "$WORK\\src" "$WORK\\$DEST" /E /I /Y /Q || die "xcopy failed"
  add xcopy
  verify xcopy "$DEST"

  fresh dst
  measure cp -r "$WORK_UNIX/src" "$WORK_UNIX/$DEST" || die "cp -r failed"
  add cp
  verify "cp -r" "$DEST"
done

log "answers of the window's thread while the engine copies 1,000 small files and one of 1 GB"
answers=""
for round in $(seq "$ROUNDS"); do
  fresh huge-copy
  out="$(run responsive "$WORK\\huge" "$WORK\\$DEST")" || die "responsiveness run failed: $out"
  answers+=" $(field longest_ms "$out")"
  rm -rf "${WORK_UNIX:?}/$DEST"  # 1 GB each; what follows copies few files
done

log "peak memory"
fresh m5
out5="$(run engine "$WORK\\small5k" "$WORK\\$DEST")" || die "engine failed: $out5"
fresh m100
out100="$(run engine "$WORK\\small100k" "$WORK\\$DEST")" || die "engine failed: $out100"
skip100="$(run engine "$WORK\\small100k" "$WORK\\$DEST")" || die "engine failed: $skip100"
fresh b5
bare5="$(run bare "$WORK\\small5k" "$WORK\\$DEST")" || die "bare loop failed: $bare5"

snapshot_case
verify_case

declare -A mw mc mo
for k in engine unhashed skip bare pool xcopy cp $(for n in $WORKER_COUNTS; do echo "w$n"; done); do
  mw[$k]=$(median <<<"${wall[$k]}")
  mc[$k]=$(median <<<"${cpu[$k]}")
  mo[$k]=$(median <<<"${outside[$k]}")
done

echo
echo "Copy of 5,000 files of 1-8 KB + 5 x 50 MB (285 MB), warm cache, medians of $ROUNDS rounds,"
echo "on $VOLUME"
printf '%-30s %8s %7s %7s %8s %7s %7s\n' "" "wall s" "x bare" "x cp" "CPU s" "x bare" "x cp"
row() {
  printf '%-30s %8s %7s %7s %8s %7s %7s\n' "$1" "${mw[$2]}" "$(ratio "${mw[$2]}" "${mw[bare]}")" \
    "$(ratio "${mw[$2]}" "${mw[cp]}")" "${mc[$2]}" "$(ratio "${mc[$2]}" "${mc[bare]}")" \
    "$(ratio "${mc[$2]}" "${mc[cp]}")"
}
row "engine CopyFolder" engine
row "engine without hashing" unhashed
row "bare FindFirstFileEx+CopyFileEx" bare
row "4 threads calling CopyFileEx" pool
row "wine xcopy /E /I /Y /Q (*)" xcopy
row "cp -r (Linux)" cp
row "engine onto its copy (skip)" skip
for n in $WORKER_COUNTS; do row "engine, $n writer threads" "w$n"; done
echo "(*) timed from outside: includes starting a Wine process ('wine cmd /c exit': ${launch_wall} s wall, ${launch_cpu} s CPU)"
echo "rounds, wall s:"
keys="engine unhashed bare pool xcopy cp skip $(for n in $WORKER_COUNTS; do echo "w$n"; done)"
for k in $keys; do printf '  %-7s%s\n' "$k" "${wall[$k]}"; done
echo "rounds, CPU s:"
for k in $keys; do printf '  %-7s%s\n' "$k" "${cpu[$k]}"; done
echo "rounds, skip timed from outside (process start included), s:"
printf '  %-7s%s\n' skip "${outside[skip]}"
echo "rounds, longest answer of the window's thread during the 1 GB copy, ms:"
printf '  %-7s%s\n' answer "$answers"

peak100=$(field peak "$out100")
answer=$(median <<<"$answers")
echo
echo "Goals (medians of $ROUNDS rounds; a ratio of at most the target meets it)"
goal "first copy, engine / single-threaded loop" "$(ratio3 "${mw[engine]}" "${mw[bare]}")" 0.60
goal "first copy, engine / 4-thread CopyFileExW pool" "$(ratio3 "${mw[engine]}" "${mw[pool]}")" 0.90
goal "repeat run / single-threaded loop's copy" "$(ratio3 "${mw[skip]}" "${mw[bare]}")" 0.04
goal "repeat run from outside / single-threaded loop's copy" "$(ratio3 "${mo[skip]}" "${mw[bare]}")" 0.06
goal "longest answer during a 1 GB copy / 50 ms ($answer ms)" "$(ratio3 "$answer" 50)" 1.00
goal "peak memory for 100,000 files / 50 MB ($(mb "$peak100"))" \
  "$(ratio3 "$peak100" $((50 * 1048576)))" 1.00
echo
echo "Peak working set, engine (fresh process each): 5,000 files $(mb "$(field peak "$out5")"), 100,000 files $(mb "$peak100"), 100,000 files again (all skipped) $(mb "$(field peak "$skip100")")"
echo "Peak working set, bare loop: 5,000 files $(mb "$(field peak "$bare5")")"
echo
echo "Reading back in a repeat run: $(ratio3 "$(median <<<"$read_back_wall")" "${mw[skip]}") of the run (median $(median <<<"$read_back_wall") s of ${mw[skip]} s); rounds, s:$read_back_wall; files read (copies, each with its source):$read_back_files; bytes read:$read_back_bytes"
echo "What the manifest costs a first copy: $(ratio3 "${mw[engine]}" "${mw[unhashed]}") (${mw[engine]} s hashing every file and writing the manifest, ${mw[unhashed]} s without)"
snapshot_report
verify_report
echo "Total bench time: $(elapsed "$started" "$(now)") s"
