#!/usr/bin/env bash
# Every unit, GL and program test of the normal build.
set -euo pipefail
cmake -S "$ORRELIA_ROOT" -B "$ORRELIA_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$ORRELIA_BUILD" -j "$(nproc)"
ctest --test-dir "$ORRELIA_BUILD" --output-on-failure -j "$(nproc)"
