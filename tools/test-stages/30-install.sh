#!/usr/bin/env bash
# The desktop integration: the install layout in a DESTDIR, then, as root,
# the Debian package installed with dpkg -i and the savers under the real
# xscreensaver daemon and xsecurelock's saver module (tests/install/).
set -euo pipefail
cmake -S "$ORRELIA_ROOT" -B "$ORRELIA_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$ORRELIA_BUILD" -j "$(nproc)" >/dev/null
bash "$ORRELIA_ROOT/tests/install/check-install-tree.sh" "$ORRELIA_BUILD"
if [ "$(id -u)" -eq 0 ]; then
  bash "$ORRELIA_ROOT/tests/install/check-deb-package.sh" "$ORRELIA_BUILD"
elif sudo -n true 2>/dev/null; then
  sudo bash "$ORRELIA_ROOT/tests/install/check-deb-package.sh" "$ORRELIA_BUILD"
else
  echo "30-install: the package and screen-saver host checks need root (dpkg -i, a test user); skipped" >&2
fi
