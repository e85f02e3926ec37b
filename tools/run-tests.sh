#!/usr/bin/env bash
# Sets the machine up, builds everything and runs every test stage in
# tools/test-stages/ in order: the normal build with its unit, headless GL
# and real-program tests first, then the stages that need their own builds
# or run longer. Give stage names (e.g. 10-build-and-test) to run only those.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export ORRELIA_ROOT=$root
export ORRELIA_BUILD=${ORRELIA_BUILD_DIR:-$root/build}

bash "$root/tools/setup-debian.sh"
failed=()
for stage in "$root"/tools/test-stages/*.sh; do
  name=$(basename "$stage" .sh)
  if [ $# -gt 0 ] && [[ ! " $* " =~ " $name " ]]; then continue; fi
  echo "=== test stage $name"
  if ! bash "$stage"; then failed+=("$name"); fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "failed test stages: ${failed[*]}" >&2
  exit 1
fi
echo "all test stages passed"
