#!/usr/bin/env bash
# Snapshots on a drive that has no hard links (an exFAT image mounted through FUSE as drive X:
# of the test prefix): timed create-new runs must copy every file, quietly and completely, and
# log each run as saved. Needs root, a free loop device and FUSE; where any is refused the test
# is skipped with the reason (exit 77), never passed.
#   links_refused.sh TESSALINE_EXE WORK_FOLDER
# Runs inside the test prefix ($WINEPREFIX) and display ($DISPLAY) that ./x test provides.
set -euo pipefail
exe="$1"
work="$2"
drive="x"
dosdevice="$WINEPREFIX/dosdevices/$drive:"

. "$(dirname "${BASH_SOURCE[0]}")/program.sh"
skip() {
  say "SKIPPED: $*"
  exit 77
}

loop=""
mounted=""
cleanup() {
  kill_program >/dev/null 2>&1 || true
  rm -f "$dosdevice"
  [ -n "$mounted" ] && umount "$work/mnt" 2>/dev/null || true
  [ -n "$loop" ] && losetup -d "$loop" 2>/dev/null || true
}
trap cleanup EXIT

[ "$(id -u)" -eq 0 ] || skip "needs root to attach an exFAT image"
command -v mkfs.exfat >/dev/null || skip "mkfs.exfat missing (package exfatprogs)"
command -v mount.exfat-fuse >/dev/null || skip "mount.exfat-fuse missing (package exfat-fuse)"
[ -e "$dosdevice" ] && skip "drive $drive: is already in use in $WINEPREFIX"

rm -rf "$work"
mkdir -p "$work/mnt"
truncate -s 64M "$work/ex.img"
mkfs.exfat "$work/ex.img" >/dev/null 2>&1 || skip "mkfs.exfat refused"
loop="$(losetup -f --show "$work/ex.img" 2>/dev/null)" || skip "no loop device"
msg="$(mount.exfat-fuse "$loop" "$work/mnt" 2>&1)" || skip "FUSE refused: $msg"
mounted=1
mkdir -p "$work/mnt/Backups"
ln -s "$work/mnt" "$dosdevice"
# Links really are refused there: otherwise this test proves nothing.
echo probe >"$work/mnt/probe"
if ln "$work/mnt/probe" "$work/mnt/probe2" 2>/dev/null; then fail "the exFAT mount accepts links"; fi
rm -f "$work/mnt/probe"

src="$work/Data"
mkdir -p "$src/sub"
for i in $(seq -w 0 99); do printf 'small file %s\n' "$i" >"$src/sub/$i.txt"; done
head -c $((2 * 1024 * 1024)) < <(yes "large file") >"$src/large.bin"

forget_settings_and_log
setting Folders "$(winepath -w "$src");"
setting Path 'X:\Backups'
setting StartStopState On
setting OftenIndex 1  # every 5 seconds
setting "Include Date" On
setting "Backup Option" 1

start_program
for _ in $(seq 900); do
  [ "$(log_lines)" -ge 2 ] && break
  sleep 0.1
done
kill_program
[ "$(log_lines)" -ge 2 ] || fail "two runs did not complete within 90 s: $(cat "$log" 2>/dev/null)"
if grep -v '^Data was backup saved at ' "$log" >/dev/null; then
  fail "a run was not logged as saved: $(grep -v '^Data was backup saved at ' "$log" | head -n 1)"
fi
folders=0
for folder in "$work/mnt/Backups"/DataDate*; do
  [ -d "$folder" ] || continue
  folders=$((folders + 1))
  # Two runs of one second could share a folder; each folder must equal the source.
  diff -r "$src" "$folder" >/dev/null || fail "$(basename "$folder") differs from the source"
done
[ "$folders" -ge 2 ] || fail "expected two dated folders, found $folders"
[ -z "$(find "$work/mnt/Backups" -name '~tessaline-*.tmp' -print -quit)" ] ||
  fail "temporary files left behind"
say "$folders dated folders on a drive without links, each a whole copy, every run logged as saved"
cleanup
trap - EXIT
rm -rf "$work"
