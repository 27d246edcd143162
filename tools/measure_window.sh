#!/usr/bin/env bash
# Measures the window program: the time from starting the process to the
# window's first paint, the resident memory of the idle window, and the time
# the count button takes for a 500 KB text; on Qt's offscreen platform and
# under Xvfb (the X server is started before the clock runs). Prints the
# median of five runs of each, and the resident memory of the real `lumerin`
# idling under Xvfb.
#   bash tools/measure_window.sh [--screenshot FILE] [BUILD_DIR]
# BUILD_DIR defaults to build/ (the "default" preset, configured when
# missing). --screenshot also saves a picture of the window under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."

screenshot=
if [[ ${1:-} == --screenshot ]]; then
  screenshot=$(realpath -m "$2")
  shift 2
fi
build=${1:-build}
runs=5

if [[ ! -f $build/build.ninja ]]; then
  [[ $build == build ]] || { echo "measure: $build is not configured" >&2; exit 1; }
  cmake --preset default >/dev/null
fi
cmake --build "$build" --target lumerin lumerin-window-probe
probe=$(realpath "$build/app/lumerin-window-probe")
window=$(realpath "$build/app/lumerin")

# One probe run on the current display or platform: "startup_ms N",
# "idle_rss_kb N", "count_500kb_ms N".
probe_once() {
  local start key value
  start=$(date +%s%N)
  "$probe" 2>/dev/null | while read -r key value; do
    if [[ $key == shown_at_ns ]]; then
      echo "startup_ms $(((value - start) / 1000000))"
    else
      echo "$key $value"
    fi
  done
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

report() {
  local platform=$1 results=$2 key
  for key in startup_ms idle_rss_kb count_500kb_ms; do
    printf '%-10s %-15s median %s\n' "$platform" "$key" \
      "$(awk -v k="$key" '$1 == k { print $2 }' <<<"$results" | median)"
  done
}

offscreen=$(for _ in $(seq "$runs"); do QT_QPA_PLATFORM=offscreen probe_once; done)
report offscreen "$offscreen"

# An X server of our own, on the first free display number.
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
xvfb_pid=$!
# shellcheck disable=SC2317  # reached through the trap
stop_xvfb() {
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  rm -f "$display_file"
}
trap stop_xvfb EXIT
for _ in $(seq 100); do
  [[ -s $display_file ]] && break
  sleep 0.1
done
[[ -s $display_file ]] || { echo "measure: Xvfb did not start" >&2; exit 1; }
DISPLAY=:$(<"$display_file")
export DISPLAY

xvfb=$(for _ in $(seq "$runs"); do QT_QPA_PLATFORM=xcb probe_once; done)
report xvfb "$xvfb"

# The real program, idle for two seconds after start-up.
QT_QPA_PLATFORM=xcb "$window" 2>/dev/null &
window_pid=$!
sleep 2
idle_rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$window_pid/status")
kill "$window_pid"
wait "$window_pid" 2>/dev/null || true
printf '%-10s %-15s %s\n' xvfb lumerin_rss_kb "$idle_rss"

if [[ -n $screenshot ]]; then
  QT_QPA_PLATFORM=xcb "$probe" "$screenshot" >/dev/null 2>&1
  echo "screenshot: $screenshot"
fi
