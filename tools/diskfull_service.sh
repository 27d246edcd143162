#!/usr/bin/env bash
# Disk-full test of lumerin-linkd: its database lives on a small tmpfs
# (SIZE, default 16m; needs root to mount) that a filler file fills up. Once
# full, creates must be refused (never a success that is later lost),
# queries must keep working, and nothing stored may be lost; when the filler
# is removed, creates must succeed again; after a restart every code ever
# answered must resolve. The tmpfs is unmounted at the end, also on failure.
# 127.0.0.1 only; bounded to a few minutes.
#
#   bash tools/diskfull_service.sh
#   LINKD=build-x/service/lumerin-linkd bash tools/diskfull_service.sh
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/linkd_harness.sh
harness_build

work=$(mktemp -d "${TMPDIR:-/tmp}/lumerin-diskfull-XXXXXX")
mounted=""
cleanup() {
  [[ -n $mounted ]] && umount "$work/fs" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
mkdir "$work/fs"
mount -t tmpfs -o "size=${SIZE:-16m}" lumerin-diskfull "$work/fs" ||
  { echo "diskfull_service: FAIL (cannot mount a tmpfs; run as root)"; exit 1; }
mounted=1

# The driver stops every instance it starts.
if timeout 300 python3 tools/linkd_attack.py diskfull "$LINKD" "$work/fs"; then
  echo "diskfull_service: PASS"
else
  echo "diskfull_service: FAIL (service log: last lines below)"
  tail -n 20 "$work/diskfull-linkd.log" || true
  exit 1
fi
