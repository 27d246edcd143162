# Shared by the reliability scripts (sourced, not run): finds or builds
# lumerin-linkd and starts and stops one instance on a free loopback port.
#
#   LINKD=path/to/lumerin-linkd   use that binary instead of building with
#                                 tools/setup.sh (default preset, build/)

# Sets LINKD to a built lumerin-linkd.
harness_build() {
  if [[ -z ${LINKD:-} ]]; then
    bash tools/setup.sh >&2
    LINKD=build/service/lumerin-linkd
  fi
  [[ -x $LINKD ]] || { echo "FAIL: no lumerin-linkd at $LINKD"; exit 1; }
}

# Starts lumerin-linkd on database $1, logging to $2; sets LINKD_PID and
# LINKD_HOST ("127.0.0.1:PORT").
harness_start() {
  local out="$2.stdout"
  "$LINKD" --listen 127.0.0.1:0 --db "$1" >"$out" 2>"$2" &
  LINKD_PID=$!
  for _ in $(seq 200); do
    grep -q '^listening on ' "$out" 2>/dev/null && break
    sleep 0.05
  done
  LINKD_HOST=$(sed -n 's/^listening on //p' "$out")
  [[ -n $LINKD_HOST ]] || { echo "FAIL: lumerin-linkd did not start"; cat "$2"; exit 1; }
}

# Stops the instance started last, if it still runs.
harness_stop() {
  if [[ -n ${LINKD_PID:-} ]]; then
    kill -TERM "$LINKD_PID" 2>/dev/null || true
    wait "$LINKD_PID" 2>/dev/null || true
    LINKD_PID=""
  fi
}
