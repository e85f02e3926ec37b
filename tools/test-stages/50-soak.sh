#!/usr/bin/env bash
# A checked build whose clock starts 10 s below its 2^32 wrap: both savers
# soak for two minutes at their 5 ms tick (crossing the wrap), then the fault
# and rebuild tests run against it with their checked-build figures: GL
# errors, complete texture sets, the clock's steps across a pause and a wrap.
set -euo pipefail
build=${ORRELIA_CHECKED_BUILD_DIR:-$ORRELIA_BUILD-checked}
cmake -S "$ORRELIA_ROOT" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORRELIA_CHECKED_BUILD=ON \
  -DORRELIA_CLOCK_NEAR_WRAP=ON
cmake --build "$build" -j "$(nproc)" --target planet-viewer planet-saver orrery-saver program_faults_test \
  viewer_rebuild_test
bash "$ORRELIA_ROOT/tools/soak.sh" --build "$build" --minutes "${ORRELIA_SOAK_MINUTES:-2}"
cd "$build/tests/reliability"
./program_faults_test
./viewer_rebuild_test
