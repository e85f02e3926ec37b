#!/usr/bin/env bash
# libFuzzer on the three readers of outside input: the picture reader, the
# screen-saver command line and window ids. Each runs for a bounded time from
# its committed seeds; new inputs stay in the build tree. A failing input is
# kept under $build/fuzz-failures: commit it to the target's folder in
# tests/reliability/fuzz_regressions/ with the fix, and the normal test run
# replays it from then on.
set -euo pipefail
build=${ORRELIA_FUZZ_BUILD:-$ORRELIA_BUILD-fuzz}
seconds=${ORRELIA_FUZZ_SECONDS:-90}
CC=clang CXX=clang++ cmake -S "$ORRELIA_ROOT" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j "$(nproc)" --target fuzz_bitmap fuzz_saver_command_line fuzz_window_id
mkdir -p "$build/fuzz-failures"
declare -A seeds=(
  [fuzz_bitmap]=$ORRELIA_ROOT/tests/textures/fuzz_corpus
  [fuzz_saver_command_line]=$ORRELIA_ROOT/tests/reliability/fuzz_corpus/saver_command_line
  [fuzz_window_id]=$ORRELIA_ROOT/tests/reliability/fuzz_corpus/window_id
)
declare -A lengths=([fuzz_bitmap]=4096 [fuzz_saver_command_line]=256 [fuzz_window_id]=64)
failed=0
for target in fuzz_bitmap fuzz_saver_command_line fuzz_window_id; do
  binary=$(find "$build/tests" -type f -name "$target" -perm -u+x | head -1)
  corpus=$build/fuzz-corpus/$target
  mkdir -p "$corpus"
  echo "--- $target: $seconds s"
  if ! "$binary" -max_total_time="$seconds" -max_len="${lengths[$target]}" -timeout=10 -rss_limit_mb=1024 \
      -print_final_stats=1 -artifact_prefix="$build/fuzz-failures/$target-" "$corpus" "${seeds[$target]}" \
      > "$build/fuzz-$target.log" 2>&1; then
    failed=1
    tail -50 "$build/fuzz-$target.log"
  fi
  grep -E "^stat::number_of_executed_units|^stat::new_units_added|^Done|INFO: seed corpus" "$build/fuzz-$target.log" || true
  echo "corpus now $(ls "$corpus" | wc -l) inputs"
done
if [ "$failed" -ne 0 ]; then
  echo "fuzzing found failing inputs: $(ls "$build/fuzz-failures")" >&2
  exit 1
fi
