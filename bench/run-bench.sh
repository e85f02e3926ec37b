#!/usr/bin/env bash
# Builds (Release) and runs the benchmark: prints the table, writes the JSON
# and the plot data to build-bench/. Needs no display and no GPU: the scenes
# draw headless through EGL, on Mesa's llvmpipe where there is no GPU driver.
# Extra arguments go to orrelia-bench (--frames N, --runs R).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ORRELIA_BENCH_BUILD:-$root/build-bench}
bash "$root/tools/setup-debian.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DORRELIA_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target orrelia-bench >/dev/null
"$build/bench/orrelia-bench" --json "$build/bench-results.json" --plot-data "$build/bench-frames.dat" "$@"
