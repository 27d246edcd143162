#!/usr/bin/env bash
# Load test of lumerin-linkd on loopback with wrk (keep-alive, 2 threads,
# 32 connections): queries per second of existing codes, then durable creates
# per second of distinct long URLs (WAL, synchronous=FULL).
#
#   bash tools/bench_service.sh                 Release build in build-bench-service
#   DURATION=5s URL_LENGTH=64 bash tools/bench_service.sh
#
# Each wrk run is bounded by DURATION (default 20s); the whole script by a
# few seconds more. Only 127.0.0.1 is used.
set -euo pipefail
cd "$(dirname "$0")/.."

DURATION=${DURATION:-20s}
URL_LENGTH=${URL_LENGTH:-1812}
SEED_CODES=${SEED_CODES:-2000}
BUILD_DIR=${BUILD_DIR:-build-bench-service}

cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMERIN_BUILD_TESTS=OFF \
  -DLUMERIN_BUILD_APP=OFF >/dev/null
cmake --build "$BUILD_DIR" --target lumerin-linkd -j2 >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/lumerin-bench-XXXXXX")
linkd_pid=""
cleanup() {
  if [[ -n $linkd_pid ]]; then
    kill -TERM "$linkd_pid" 2>/dev/null || true
    wait "$linkd_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

"$BUILD_DIR/service/lumerin-linkd" --listen 127.0.0.1:0 --db "$work/links.db" \
  >"$work/stdout" 2>"$work/linkd.log" &
linkd_pid=$!
for _ in $(seq 100); do
  grep -q '^listening on ' "$work/stdout" 2>/dev/null && break
  sleep 0.05
done
host=$(sed -n 's/^listening on //p' "$work/stdout")
[[ -n $host ]] || { echo "lumerin-linkd did not start:" >&2; cat "$work/linkd.log" >&2; exit 1; }
echo "lumerin-linkd on $host, database $work/links.db, URLs of $URL_LENGTH characters"

# Existing codes to query: created over one keep-alive connection.
pad=$(printf 'A%.0s' $(seq $((URL_LENGTH - 20))))
for i in $(seq "$SEED_CODES"); do
  ((i == 1)) || echo next
  printf 'url = "http://%s/create.php"\ndata = "url=http://txt1?%08X%s&alias=&access_type=web"\n' \
    "$host" "$i" "$pad"
done >"$work/seed.curl"
curl -s -K "$work/seed.curl" | grep -o '\\/[0-9A-Za-z_]*","status":0' |
  sed 's/^\\\/\([^"]*\)".*/\1/' >"$work/codes"
echo "seeded $(wc -l <"$work/codes") codes"

run_wrk() {
  timeout $((${DURATION%s} + 15)) wrk --latency -t2 -c32 -d"$DURATION" --timeout 2s "$@"
}

echo "== queries of existing codes"
run_wrk -s tools/wrk/linkd_query.lua "http://$host" -- "$work/codes"
echo "== creates of distinct URLs (durable)"
run_wrk -s tools/wrk/linkd_create.lua "http://$host" -- "$URL_LENGTH" "$(date +%s)"

kill -TERM "$linkd_pid"
wait "$linkd_pid" || true
linkd_pid=""
echo "stored links: $(grep -c '^access POST /create.php 200' "$work/linkd.log") create answers 200," \
  "$(grep -c ' 503 ' "$work/linkd.log" || true) answers 503"
