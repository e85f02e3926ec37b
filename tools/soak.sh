#!/usr/bin/env bash
# Soak: both screen savers run side by side at their 5 ms tick in a private
# X server for a number of minutes (10 by default), in a checked build that
# reads glGetError every frame and whose clock starts 10 s below its 2^32
# wrap. Their resident memory is sampled every 10 s. Passes when both are
# still running at the end, end with status 0 on SIGTERM, report no GL
# error, and their resident memory grows by less than 1 MiB over the second
# half of the run (the first half lets caches of the GL driver fill).
#
#   bash tools/soak.sh [--minutes N] [--build DIR]
#
# Without --build it configures and builds the checked build in
# build-checked/. Figures go to stdout and to DIR/soak/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
minutes=10
build=""
while [ $# -gt 0 ]; do
  case "$1" in
    --minutes) minutes=$2; shift 2 ;;
    --build) build=$2; shift 2 ;;
    *) echo "usage: soak.sh [--minutes N] [--build DIR]" >&2; exit 2 ;;
  esac
done
if ! [[ "$minutes" =~ ^[0-9]+$ ]] || [ "$minutes" -lt 1 ]; then
  echo "soak.sh: --minutes takes a whole number of minutes, 1 or more" >&2
  exit 2
fi
if [ -z "$build" ]; then
  build=$root/build-checked
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORRELIA_CHECKED_BUILD=ON -DORRELIA_CLOCK_NEAR_WRAP=ON
  cmake --build "$build" -j "$(nproc)" --target planet-saver orrery-saver
fi
out=$build/soak
mkdir -p "$out"
savers=(planet-saver orrery-saver)

server=""
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
  if [ -n "$server" ]; then kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; fi
  rm -f "$out/display"
}
trap cleanup EXIT

# A private server; -displayfd picks a free display number.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -noreset -nolisten tcp 3>"$out/display" 2>"$out/xvfb.log" &
server=$!
for _ in $(seq 100); do grep -q . "$out/display" 2>/dev/null && break; sleep 0.1; done
export DISPLAY=:$(head -1 "$out/display")
unset XSCREENSAVER_WINDOW

for saver in "${savers[@]}"; do
  "$build/saver/$saver" --window 2>"$out/$saver.log" &
  pids+=($!)
done

seconds=$((minutes * 60))
warmup=$((seconds / 2))
echo "time_s ${savers[*]}" > "$out/resident-kib.txt"
for ((elapsed = 10; elapsed <= seconds; elapsed += 10)); do
  sleep 10
  line="$elapsed"
  for pid in "${pids[@]}"; do line="$line $(ps -o rss= -p "$pid" 2>/dev/null | tr -d ' ' || echo gone)"; done
  echo "$line" >> "$out/resident-kib.txt"
done

failed=0
printf '%-14s %8s %10s %10s %12s %12s %10s\n' saver minutes frames "GL errors" "KiB halfway" "KiB at end" "growth"
for i in "${!savers[@]}"; do
  saver=${savers[$i]}
  pid=${pids[$i]}
  column=$((i + 2))
  at_warmup=$(awk -v t="$warmup" -v c="$column" 'NR > 1 && $1 >= t { print $c; exit }' "$out/resident-kib.txt")
  at_end=$(tail -1 "$out/resident-kib.txt" | awk -v c="$column" '{ print $c }')
  status=running
  if ! kill -0 "$pid" 2>/dev/null; then status=gone; fi
  kill -TERM "$pid" 2>/dev/null || true
  code=0
  wait "$pid" || code=$?
  report=$(grep "checked build:" "$out/$saver.log" || true)
  frames=$(echo "$report" | sed -n 's/.*: \([0-9]*\) frames.*/\1/p')
  errors=$(echo "$report" | sed -n 's/.*, \([0-9]*\) GL errors.*/\1/p')
  growth=$(( ${at_end:-0} - ${at_warmup:-0} ))
  printf '%-14s %8s %10s %10s %12s %12s %10s\n' "$saver" "$minutes" "${frames:-?}" "${errors:-?}" "${at_warmup:-?}" \
    "${at_end:-?}" "$growth"
  if [ "$status" != running ]; then echo "$saver ended during the soak" >&2; failed=1; fi
  if [ "$code" -ne 0 ]; then echo "$saver ended with status $code on SIGTERM" >&2; failed=1; fi
  if [ "${errors:-x}" != 0 ]; then echo "$saver reported GL errors (or no report):" >&2; cat "$out/$saver.log" >&2; failed=1; fi
  if ! [[ "$at_end" =~ ^[0-9]+$ && "$at_warmup" =~ ^[0-9]+$ ]] || [ "$growth" -ge 1024 ]; then
    echo "$saver: resident memory not flat ($at_warmup KiB -> $at_end KiB)" >&2
    failed=1
  fi
done
pids=()
echo "resident memory samples: $out/resident-kib.txt"
exit "$failed"
