#!/usr/bin/env bash
# Real faulty drives for the Windows tests: small tmpfs mounts given to the test prefix as
# drive letters. P: is a 24 MB drive for filling up, Q: a read-only drive holding one folder
# "Backups", R: an empty drive root; and S:, a 64 MB exFAT file system (an image file on a loop
# device, mounted through FUSE), which keeps write times in whole seconds. Needs root; where
# mounting is refused the state file (exfat_state.txt for S:) says why and the tests that need
# the drives skip with that reason.
#   fault_drives.sh setup|cleanup STATE_FOLDER
set -uo pipefail
action="$1"
base="$2"
state="$base/state.txt"
exfat_state="$base/exfat_state.txt"
dosdevices="${WINEPREFIX:?}/dosdevices"

undo_exfat() {
  rm -f "$dosdevices/s:"
  mountpoint -q "$base/s" && { umount "$base/s" 2>/dev/null || umount -l "$base/s"; }
  if [ -s "$base/exfat_loop" ]; then
    losetup -d "$(cat "$base/exfat_loop")" 2>/dev/null
    rm -f "$base/exfat_loop"
  fi
  rm -f "$base/exfat.img"
  return 0
}

refuse_exfat() {
  undo_exfat
  echo "refused: $*" >"$exfat_state"
  echo "exFAT drive unavailable: $*" >&2
}

setup_exfat() {
  undo_exfat
  mkdir -p "$base/s"
  [ -e "$dosdevices/s:" ] && { refuse_exfat "drive s: is already in use in $WINEPREFIX"; return; }
  command -v mkfs.exfat >/dev/null || { refuse_exfat "mkfs.exfat missing (package exfatprogs)"; return; }
  command -v mount.exfat-fuse >/dev/null ||
    { refuse_exfat "mount.exfat-fuse missing (package exfat-fuse)"; return; }
  local msg loop
  msg="$(truncate -s 64M "$base/exfat.img" 2>&1)" || { refuse_exfat "truncate: $msg"; return; }
  msg="$(mkfs.exfat "$base/exfat.img" 2>&1)" || { refuse_exfat "mkfs.exfat: $msg"; return; }
  loop="$(losetup -f --show "$base/exfat.img" 2>&1)" || { refuse_exfat "losetup: $loop"; return; }
  echo "$loop" >"$base/exfat_loop"
  msg="$(mount.exfat-fuse "$loop" "$base/s" 2>&1)" || { refuse_exfat "mount.exfat-fuse: $msg"; return; }
  ln -s "$base/s" "$dosdevices/s:"
  echo "ready" >"$exfat_state"
}

undo() {
  for d in p q r; do
    rm -f "$dosdevices/$d:"
    mountpoint -q "$base/$d" && umount -l "$base/$d"
  done
  return 0
}

refuse() {
  undo
  echo "refused: $*" >"$state"
  echo "fault drives unavailable: $*" >&2
  exit 0
}

case "$action" in
  setup)
    mkdir -p "$base"
    setup_exfat
    undo
    for d in p q r; do
      mkdir -p "$base/$d"
      [ -e "$dosdevices/$d:" ] && refuse "drive $d: is already in use in $WINEPREFIX"
    done
    msg="$(mount -t tmpfs -o size=24m tmpfs "$base/p" 2>&1)" || refuse "mount: $msg"
    msg="$(mount -t tmpfs -o size=4m tmpfs "$base/q" 2>&1)" || refuse "mount: $msg"
    mkdir -p "$base/q/Backups"
    msg="$(mount -o remount,ro "$base/q" 2>&1)" || refuse "remount read-only: $msg"
    msg="$(mount -t tmpfs -o size=16m tmpfs "$base/r" 2>&1)" || refuse "mount: $msg"
    for d in p q r; do ln -s "$base/$d" "$dosdevices/$d:"; done
    echo "ready" >"$state"
    ;;
  cleanup)
    undo
    undo_exfat
    rm -f "$state" "$exfat_state"
    ;;
  *)
    echo "usage: $0 setup|cleanup STATE_FOLDER" >&2
    exit 2
    ;;
esac
