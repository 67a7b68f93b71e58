#!/usr/bin/env bash
# lxg create on a full disk: the old list stays byte for byte, the failure is
# told and the exit status is 1. Needs root to mount a tiny tmpfs; skips
# (exit 77) where it cannot.
#
#   tests/tools/create_full_disk.sh LXG
set -euo pipefail
lxg=$1
[ "$(id -u)" = 0 ] || { echo "not root: skipped"; exit 77; }
work=$(mktemp -d)
disk=$work/disk
mkdir "$disk"
mount -t tmpfs -o size=12k tmpfs "$disk" 2>/dev/null || { rmdir "$disk" "$work"; echo "cannot mount a tmpfs: skipped"; exit 77; }
trap 'umount "$disk"; rm -rf "$work"' EXIT

printf 'red\ngreen\nblue\n' > "$work/words.txt"
"$lxg" create "$disk/old.lxg" --name Colors "$work/words.txt" > /dev/null
cp "$disk/old.lxg" "$work/before.lxg"
dd if=/dev/zero of="$disk/fill" bs=1k 2>/dev/null || true

status=0
"$lxg" create "$disk/old.lxg" --name Colors "$work/words.txt" > "$work/out" 2> "$work/err" || status=$?
fail() { echo "FAIL: $*"; echo "stdout: $(cat "$work/out")"; echo "stderr: $(cat "$work/err")"; exit 1; }
[ "$status" = 1 ] || fail "exit status $status, not 1"
[ ! -s "$work/out" ] || fail "something printed on standard output"
grep -qx "lxg: $disk/old.lxg: the file cannot be written (No space left on device)" "$work/err" || fail "no message"
cmp -s "$disk/old.lxg" "$work/before.lxg" || fail "the old list changed"
[ "$(ls "$disk")" = "$(printf 'fill\nold.lxg')" ] || fail "files left behind: $(ls "$disk")"
echo "old list kept, failure told"
