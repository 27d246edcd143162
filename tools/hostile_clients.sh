#!/usr/bin/env bash
# Slow and hostile clients against lumerin-linkd, all at once for SECONDS
# (default 30): 500 connections sending a request head one byte a second,
# requests with 100 KB headers, bodies that never end (chunked, and a
# declared length trickled a byte a second), pipelined garbage. Meanwhile four
# well-formed clients query (90 %) and create (10 %); PASS when none of their
# requests fails and their p99 latency stays within BOUND_MS (default 100).
# Prints p50/p99/max. 127.0.0.1 only; every loop stops by itself.
#
#   bash tools/hostile_clients.sh
#   SECONDS_=20 LINKD=build-x/service/lumerin-linkd bash tools/hostile_clients.sh
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/linkd_harness.sh
harness_build

seconds=${SECONDS_:-30}
work=$(mktemp -d "${TMPDIR:-/tmp}/lumerin-hostile-XXXXXX")
attacker=""
cleanup() {
  [[ -n $attacker ]] && kill "$attacker" 2>/dev/null || true
  harness_stop
  rm -rf "$work"
}
trap cleanup EXIT

harness_start "$work/links.db" "$work/linkd.log"
echo "lumerin-linkd on $LINKD_HOST (pid $LINKD_PID)"
python3 tools/linkd_attack.py seed "$LINKD_HOST" 500 "$work/codes"

timeout $((seconds + 30)) python3 tools/linkd_attack.py attack "$LINKD_HOST" "$seconds" &
attacker=$!
sleep 3  # let the slow connections pile up first
echo "service descriptors 3 s into the attack: $(ls "/proc/$LINKD_PID/fd" | wc -l)"
(sleep $((seconds / 2)); echo "service descriptors half way: $(ls "/proc/$LINKD_PID/fd" | wc -l)") &
verdict=PASS
timeout $((seconds + 30)) python3 tools/linkd_attack.py measure "$LINKD_HOST" $((seconds - 6)) \
  "$work/codes" "${BOUND_MS:-100}" || verdict=FAIL
wait "$attacker" || true
attacker=""
echo "service connections still open at the end: $(ls "/proc/$LINKD_PID/fd" | wc -l) descriptors"
kill -0 "$LINKD_PID" 2>/dev/null || { echo "lumerin-linkd died"; verdict=FAIL; }
echo "hostile_clients: $verdict"
[[ $verdict == PASS ]]
