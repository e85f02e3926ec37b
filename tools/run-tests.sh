#!/usr/bin/env bash
# Sets the machine up, builds everything and runs every test: logic against
# the scripted platform, GL state and pixels in a headless Mesa context, and
# the real programs in private X servers.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ORRELIA_BUILD_DIR:-$root/build}

bash "$root/tools/setup-debian.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j "$(nproc)"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
