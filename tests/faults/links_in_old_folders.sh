#!/usr/bin/env bash
# Keeping fewer where an older backup folder holds links to places outside the destination (a
# symbolic link to a read-only file, one to a folder): a `/backup` run removes the folder's own
# names, and what the links name stays exactly as it was, read-only bit included. Wine 8 cannot
# open a Unix symbolic link as itself, so there the links stay too: under a removal's name that
# no run takes for a backup, or, when a link came first, in the folder kept whole under its own
# name; the history log says which.
#   links_in_old_folders.sh TESSALINE_EXE WORK_FOLDER
# Runs inside the test prefix ($WINEPREFIX) that ./x test provides.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/program.sh"
kill_test_start 0 "$@"
mkdir -p "$src" "$work/elsewhere/folder"
printf 'the source\n' >"$src/a.txt"
printf 'not a backup\n' >"$work/elsewhere/file.txt"
printf 'nor this\n' >"$work/elsewhere/folder/inner.txt"
chmod a-w "$work/elsewhere/file.txt"

old="$dst/$(LC_ALL=C date -d "$(date +%F) -10 days 09:00:00" +'DataDate %b %-d %Y Time %I %M %S %p')"
newer="$dst/$(LC_ALL=C date -d "$(date +%F) -10 days 10:00:00" +'DataDate %b %-d %Y Time %I %M %S %p')"
mkdir -p "$old" "$newer"
printf 'an older version\n' >"$old/a.txt"
printf 'a newer version\n' >"$newer/a.txt"
ln -s "$work/elsewhere/file.txt" "$old/file link"
ln -s "$work/elsewhere/folder" "$old/folder link"
state() { (cd "$work/elsewhere" && find . -printf '%p %m %s\n' | LC_ALL=C sort && cat file.txt folder/inner.txt); }
before="$(state)"

forget_settings_and_log
setting Folders "$(winepath -w "$src");"
setting Path "$(winepath -w "$dst")"
setting "Include Date" On
setting "Backup Option" 1
setting "Keep Fewer Backups" On
trap 'kill_program >/dev/null 2>&1 || true' EXIT

(cd "$(dirname "$exe")" && wine "$exe" /backup </dev/null >/dev/null 2>&1) || true
[ "$(state)" = "$before" ] || fail "what the links name changed: $(state)"
[ -f "$newer/a.txt" ] || fail "the newest older folder went"
if [ -e "$old" ]; then
  # A link came first and could not go: the folder stays as it was, under its own name.
  [ -f "$old/a.txt" ] && [ -L "$old/file link" ] && [ -L "$old/folder link" ] ||
    fail "the older folder kept its name but not what it held: $(ls -la "$old")"
  grep -q '^Data kept its older backup folder .* which could not be removed: ' "$log" ||
    fail "no line says the folder was kept: $(cat "$log")"
  say "Wine kept the folder whole, links and all; what they name is untouched"
elif leftover="$(find "$dst" -mindepth 1 -maxdepth 1 -name '~tessaline-*.tmp' -type d | head -n 1)" &&
  [ -n "$leftover" ]; then
  # Only the links are left of it, each still a link.
  [ "$(cd "$leftover" && find . -mindepth 1 | LC_ALL=C sort | tr '\n' '|')" = "./file link|./folder link|" ] ||
    fail "more than the links is left: $(ls -la "$leftover")"
  [ -L "$leftover/file link" ] && [ -L "$leftover/folder link" ] || fail "a link is no longer a link"
  grep -q '^Data had its older backup folder .* only partly removed at ' "$log" ||
    fail "no line says the rest waits: $(cat "$log")"
  say "Wine kept the links themselves; what they name is untouched"
else
  grep -q '^Data had 1 older backup folder removed at ' "$log" || fail "no removal line: $(cat "$log")"
  say "the folder and its links went; what they name is untouched"
fi
rm -rf "$work"
