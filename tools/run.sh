#!/usr/bin/env bash
# Installs what is missing, builds, and opens the Lumerin window. When nothing
# answers on the default link service host it first starts a local
# lumerin-linkd there, with its database under
# ${XDG_DATA_HOME:-~/.local/share}/lumerin/, and stops it again when the
# window closes.
#   bash tools/run.sh
set -euo pipefail
cd "$(dirname "$0")/.."

readonly default_host=127.0.0.1:7312
readonly build=build

if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
  echo "run: no display (neither DISPLAY nor WAYLAND_DISPLAY is set)" >&2
  exit 1
fi

bash tools/setup.sh

answers() { curl -fsS --max-time 2 -o /dev/null "http://$1/healthz" 2>/dev/null; }

service_pid=
# shellcheck disable=SC2317  # reached through the traps below
stop_service() {
  if [[ -n $service_pid ]]; then
    kill -TERM "$service_pid" 2>/dev/null || true
    wait "$service_pid" 2>/dev/null || true
    service_pid=
  fi
}
trap stop_service EXIT
trap 'stop_service; exit 130' INT
trap 'stop_service; exit 143' TERM

host=${LUMERIN_SERVICE:-$default_host}
if answers "$host"; then
  echo "run: using the link service at $host"
elif [[ $host != "$default_host" ]]; then
  echo "run: warning: nothing answers at LUMERIN_SERVICE=$host; shortening will give 0" >&2
else
  data=${XDG_DATA_HOME:-$HOME/.local/share}/lumerin
  mkdir -p "$data"
  "$build/service/lumerin-linkd" --listen "$default_host" --db "$data/lumerin-links.db" \
    >/dev/null 2>>"$data/lumerin-linkd.log" &
  service_pid=$!
  for _ in $(seq 100); do
    answers "$default_host" && break
    if ! kill -0 "$service_pid" 2>/dev/null; then
      service_pid=
      echo "run: lumerin-linkd did not start; see $data/lumerin-linkd.log" >&2
      exit 1
    fi
    sleep 0.1
  done
  answers "$default_host" || { echo "run: lumerin-linkd does not answer" >&2; exit 1; }
  echo "run: started lumerin-linkd on $default_host (database $data/lumerin-links.db)"
fi

status=0
"$build/app/lumerin" || status=$?
exit "$status"
