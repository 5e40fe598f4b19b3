#!/usr/bin/env bash
# Real faulty drives for the Windows tests: small tmpfs mounts given to the test prefix as
# drive letters. P: is a 24 MB drive for filling up, Q: a read-only drive holding one folder
# "Backups", R: an empty drive root. Needs root; where mounting is refused the state file says
# why and the tests that need the drives skip with that reason.
#   fault_drives.sh setup|cleanup STATE_FOLDER
set -uo pipefail
action="$1"
base="$2"
state="$base/state.txt"
dosdevices="${WINEPREFIX:?}/dosdevices"

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
    rm -f "$state"
    ;;
  *)
    echo "usage: $0 setup|cleanup STATE_FOLDER" >&2
    exit 2
    ;;
esac
