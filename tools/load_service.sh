#!/usr/bin/env bash
# Load test of lumerin-linkd: wrk with keep-alive (2 threads, 32 connections)
# for DURATION seconds (default 60) against a mix of 90 % queries of existing
# codes and 10 % creates of new long URLs. PASS when there is no error answer
# (non-2xx) and no socket error, and resident memory at the end is no more
# than 10 % (plus 4 MiB) above its value after the first 10 s. Prints the
# latency distribution (p99 included) and the memory samples taken each
# second from /proc/PID/status. 127.0.0.1 only.
#
#   bash tools/load_service.sh
#   DURATION=20 LINKD=build-x/service/lumerin-linkd bash tools/load_service.sh
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/linkd_harness.sh
harness_build

duration=${DURATION:-60}
work=$(mktemp -d "${TMPDIR:-/tmp}/lumerin-load-XXXXXX")
sampler=""
cleanup() {
  [[ -n $sampler ]] && kill "$sampler" 2>/dev/null || true
  harness_stop
  rm -rf "$work"
}
trap cleanup EXIT

harness_start "$work/links.db" "$work/linkd.log"
echo "lumerin-linkd on $LINKD_HOST (pid $LINKD_PID)"
python3 tools/linkd_attack.py seed "$LINKD_HOST" 2000 "$work/codes"

# One VmRSS sample (kB) a second for as long as the run lasts.
(for _ in $(seq $((duration + 2))); do
  awk '/^VmRSS:/ {print $2}' "/proc/$LINKD_PID/status" 2>/dev/null || true
  sleep 1
done) >"$work/rss" &
sampler=$!

timeout $((duration + 20)) wrk --latency -t2 -c32 -d"${duration}s" --timeout 2s \
  -s tools/wrk/linkd_mix.lua "http://$LINKD_HOST" -- "$work/codes" "$(date +%s)" | tee "$work/wrk"
wait "$sampler" || true
sampler=""

rss10=$(sed -n 10p "$work/rss")
rss_end=$(tail -n 1 "$work/rss")
rss_max=$(sort -n "$work/rss" | tail -n 1)
non2xx=$(sed -n 's/^mix: non-2xx \([0-9]*\),.*/\1/p' "$work/wrk")
socket=$(sed -n 's/^mix: [0-9]* requests, \([0-9]*\) socket errors.*/\1/p' "$work/wrk")
echo "resident memory: ${rss10} kB after 10 s, ${rss_end} kB at the end, ${rss_max} kB at most"

verdict=PASS
[[ ${non2xx:-x} == 0 ]] || { echo "error answers: ${non2xx:-unknown}"; verdict=FAIL; }
[[ ${socket:-x} == 0 ]] || { echo "socket errors: ${socket:-unknown}"; verdict=FAIL; }
if [[ -z $rss10 || -z $rss_end ]] || ((rss_end > rss10 + rss10 / 10 + 4096)); then
  echo "resident memory grew after the first 10 s"
  verdict=FAIL
fi
echo "load_service: $verdict"
[[ $verdict == PASS ]]
