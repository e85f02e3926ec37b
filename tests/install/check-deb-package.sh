#!/usr/bin/env bash
# Builds the Debian package from a built tree, checks its control data and
# contents, installs it with dpkg -i, runs the installed programs, runs the
# savers under the real screen-saver hosts (check-saver-hosts.sh) and
# removes the package again. Needs root, as dpkg does.
#
#   check-deb-package.sh BUILD_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
build=${1:?usage: check-deb-package.sh BUILD_DIR}
scratch=$(mktemp -d)
installedHere=false
cleanUp() {
  stopXvfb
  if $installedHere; then dpkg --purge orrelia >/dev/null; fi
  rm -rf "$scratch"
}
trap cleanUp EXIT

if [ "$(id -u)" -ne 0 ]; then
  echo "check-deb-package.sh needs root (dpkg -i)" >&2
  exit 1
fi
if dpkg-query -W -f='${Status}' orrelia 2>/dev/null | grep -q "install ok installed"; then
  echo "orrelia is already installed on this machine; not replacing it" >&2
  exit 1
fi

if ! (cd "$build" && cpack -G DEB -B "$scratch/deb" >"$scratch/cpack.log" 2>&1); then
  cat "$scratch/cpack.log" >&2
  fail "cpack -G DEB"
  finish
fi
deb=$(ls "$scratch"/deb/orrelia_*.deb)
echo "built $(basename "$deb"), $(stat -c %s "$deb") bytes"

# Control data: the libraries the programs need at run time. libgl1 is the
# one no link shows (SDL loads libGL.so.1 for the viewer's context).
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
echo "$depends" | tr ',|' '\n\n' | sed 's/(.*//; s/ //g' >"$scratch/depends"
for package in libc6 libstdc++6 libsdl2-2.0-0 libgl1 libglu1-mesa libx11-6; do
  grep -q -x -F "$package" "$scratch/depends" || fail "Depends lacks $package"
done

# Contents: the install layout under /usr, nothing else.
expectedFiles | sed 's|^|usr/|' | sort >"$scratch/expected"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' | sort >"$scratch/packed"
diff -u "$scratch/expected" "$scratch/packed" >&2 || fail "package contents differ from the install layout"
dpkg-deb -x "$deb" "$scratch/unpacked"
for saver in "${savers[@]}"; do
  grep -q -x "Exec=/usr/libexec/xscreensaver/$saver --root" \
    "$scratch/unpacked/usr/share/applications/screensavers/$saver.desktop" ||
    fail "packaged $saver.desktop does not run /usr/libexec/xscreensaver/$saver --root"
done

if ! dpkg -i "$deb" >"$scratch/dpkg.log" 2>&1; then
  cat "$scratch/dpkg.log" >&2
  fail "dpkg -i $(basename "$deb")"
  finish
fi
installedHere=true
pass "dpkg -i $(basename "$deb")"

# The installed programs without a display: the exit codes the manual
# pages give.
runCase() {
  local expected=$1
  shift
  local status=0
  timeout 20 "$@" >"$scratch/out" 2>&1 || status=$?
  if [ "$status" = "$expected" ]; then
    pass "$* -> $status"
  else
    fail "$* -> $status, expected $expected: $(head -c 400 "$scratch/out")"
  fi
}
[ "$(command -v planet-viewer)" = /usr/bin/planet-viewer ] || fail "planet-viewer is not /usr/bin/planet-viewer on PATH"
runCase 0 /usr/libexec/xscreensaver/planet-saver c
runCase 0 /usr/libexec/xscreensaver/orrery-saver c
runCase 255 /usr/libexec/xscreensaver/planet-saver --bogus
runCase 255 /usr/libexec/xscreensaver/orrery-saver a 0x1
runCase 1 env -u DISPLAY /usr/libexec/xscreensaver/orrery-saver --window
runCase 1 env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER /usr/bin/planet-viewer
for page in planet-viewer planet-saver orrery-saver; do
  found=$(man -w "$page" 2>&1)
  case "$found" in
    /usr/share/man/man[16]/"$page".[16]) ;;
    *) fail "man -w $page finds '$found', not the installed page" ;;
  esac
done

# Each installed saver in a window of its own draws its scene and ends
# with 0 on SIGTERM.
if startXvfb; then
  before=$failures
  for saver in "${savers[@]}"; do
    "/usr/libexec/xscreensaver/$saver" --window >"$scratch/$saver.log" 2>&1 &
    pid=$!
    window=
    waitFor 100 eval 'window=$(findWindow "$saver"); [ -n "$window" ]'
    if [ -z "$window" ]; then
      fail "installed $saver --window made no window: $(cat "$scratch/$saver.log")"
      kill "$pid" 2>/dev/null
      wait "$pid" 2>/dev/null
      continue
    fi
    sleep 3
    import -window "$window" "$scratch/$saver-window.png"
    centreShowsSun "$scratch/$saver-window.png" || fail "installed $saver --window shows no scene"
    kill -TERM "$pid"
    status=0
    wait "$pid" || status=$?
    [ "$status" = 0 ] || fail "installed $saver --window ended with $status on SIGTERM"
  done
  [ "$failures" = "$before" ] && pass "installed savers draw in windows of their own and end with 0 on SIGTERM"
  stopXvfb
else
  fail "no Xvfb for the installed savers"
fi

# The savers as the real hosts run them, while the package is installed.
bash "$here/check-saver-hosts.sh" || fail "check-saver-hosts.sh"

finish
