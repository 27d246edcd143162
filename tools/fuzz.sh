#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs each for a bounded time on a copy of its seed corpus in a temporary
# directory. Prints per target the executions, their rate, the corpus size and
# any crash file; exits 1 when a target crashed or broke a property.
#   bash tools/fuzz.sh                            every target, 60 s each
#   bash tools/fuzz.sh codec text_primitives      the named targets only
#   FUZZ_SECONDS=600 FUZZ_JOBS=2 bash tools/fuzz.sh   10 minutes each, two at a time
# FUZZ_BUILD_DIR (default build-fuzz) is the build directory. Crash files are
# copied to FUZZ_BUILD_DIR/fuzz-artifacts/TARGET/ before the temporary
# directory goes away; reproduce one with: FUZZ_BUILD_DIR/fuzz/TARGET FILE
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-60}
jobs=${FUZZ_JOBS:-1}
build=${FUZZ_BUILD_DIR:-build-fuzz}

# The longest input each target is given: about the size of what the code
# under test meets (a raw header block is at most 5000 bytes, a form body of
# the service a few kilobytes).
declare -A max_len=(
  [text_primitives]=4096
  [delimited_and_url]=4096
  [codec]=8192
  [web_raw_headers]=6000
  [linkstore_answers]=4096
  [service_request]=8192
)

targets=("$@")
if ((${#targets[@]} == 0)); then
  for target in text_primitives delimited_and_url codec web_raw_headers linkstore_answers \
    service_request; do
    [[ -f fuzz/$target.cpp ]] && targets+=("$target")
  done
fi
for target in "${targets[@]}"; do
  if [[ ! -f fuzz/$target.cpp || -z ${max_len[$target]:-} ]]; then
    echo "fuzz: unknown target $target" >&2
    exit 2
  fi
done

# clang and its fuzzer runtime come with tools/setup.sh's packages.
if ! command -v clang++ >/dev/null || ! compgen -G "/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a" >/dev/null; then
  bash tools/setup.sh
fi

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DLUMERIN_FUZZ=ON -DLUMERIN_BUILD_APP=OFF -DLUMERIN_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target "${targets[@]}" -j2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}

# run_target TARGET: fuzzes TARGET and writes its one-line summary to
# $work/TARGET/summary; the summary starts with "crashed" on a finding.
run_target() {
  local target=$1
  local dir=$work/$target
  mkdir -p "$dir/corpus"
  cp fuzz/corpus/"$target"/* "$dir/corpus/"
  local status=0
  "$build/fuzz/$target" -max_total_time="$seconds" -max_len="${max_len[$target]}" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$dir/" "$dir/corpus" \
    >"$dir/log" 2>&1 || status=$?
  local runs rate
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$dir/log" | tail -1)
  local corpus
  corpus=$(find "$dir/corpus" -type f | wc -l)
  local crashes=("$dir"/crash-* "$dir"/leak-* "$dir"/timeout-* "$dir"/oom-*)
  local found=()
  for file in "${crashes[@]}"; do [[ -e $file ]] && found+=("$file"); done
  if ((status != 0 || ${#found[@]} > 0)); then
    local keep=$build/fuzz-artifacts/$target
    mkdir -p "$keep"
    local kept=()
    for file in "${found[@]}"; do
      cp "$file" "$keep/"
      kept+=("$keep/$(basename "$file")")
    done
    cp "$dir/log" "$keep/log"
    echo "crashed $target: ${runs:-?} runs, exit $status, crash files: ${kept[*]:-none}, log: $keep/log" \
      >"$dir/summary"
  else
    echo "ok      $target: ${runs:-?} runs in ${seconds} s (${rate:-?} exec/s), corpus $corpus files" \
      >"$dir/summary"
  fi
}

running=0
for target in "${targets[@]}"; do
  echo "fuzz: $target for $seconds s"
  run_target "$target" &
  running=$((running + 1))
  if ((running >= jobs)); then
    wait -n || true
    running=$((running - 1))
  fi
done
wait

failed=0
for target in "${targets[@]}"; do
  cat "$work/$target/summary"
  if grep -q '^crashed' "$work/$target/summary"; then
    grep -m1 -E 'property failed|ERROR: (AddressSanitizer|libFuzzer)|runtime error' \
      "$work/$target/log" | sed 's/^/        /' || true
    failed=1
  fi
done
exit "$failed"
