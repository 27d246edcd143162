#!/usr/bin/env bash
# Crash test of lumerin-linkd: KILLS times (default 50) the service is killed
# with SIGKILL at a random moment during a stream of creates from four
# clients, and restarted on the same database; then every code it ever
# answered must resolve to its long URL. 127.0.0.1 only; bounded to 10 min.
#
#   bash tools/crash_service.sh
#   KILLS=10 LINKD=build-x/service/lumerin-linkd bash tools/crash_service.sh
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/linkd_harness.sh
harness_build

work=$(mktemp -d "${TMPDIR:-/tmp}/lumerin-crash-XXXXXX")
trap 'rm -rf "$work"' EXIT
# The driver kills and waits for every instance it starts.
if timeout 660 python3 tools/linkd_attack.py crash "$LINKD" "$work/links.db" "${KILLS:-50}"; then
  echo "crash_service: PASS"
else
  echo "crash_service: FAIL"
  exit 1
fi
