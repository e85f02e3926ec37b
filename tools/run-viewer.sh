#!/usr/bin/env bash
# Sets the machine up, builds planet-viewer and runs it. On a desktop it runs
# on $DISPLAY as usual. With no display it starts a private X server, answers
# the start-up question with No, waits a few seconds, writes a screenshot and
# prints its path, then presses Esc.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ORRELIA_BUILD_DIR:-$root/build}

bash "$root/tools/setup-debian.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target planet-viewer
viewer="$build/viewer/planet-viewer"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$viewer"
fi

shots="$build/screenshots"
mkdir -p "$shots"
exec 3< <(Xvfb -displayfd 1 -screen 0 1280x1024x24 -noreset -nolisten tcp 2>/dev/null)
read -r -t 10 number <&3 || { echo "run-viewer: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number"
server=$!
trap 'kill "$server" 2>/dev/null || true' EXIT

# Finds a mapped window by its title and prints its id.
findWindow() {
  for _ in $(seq 1 200); do
    id=$(xwininfo -root -tree 2>/dev/null | grep -F "\"$1\":" | awk '{ print $1; exit }')
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.05
  done
  return 1
}
# Focuses a window and holds a key long enough for a frame to see it.
pressKey() {
  xdotool windowfocus --sync "$1" keydown "$2"
  sleep 0.2
  xdotool keyup "$2"
}

"$viewer" &
viewerPid=$!
box=$(findWindow "Start FullScreen?") || { echo "run-viewer: no start-up question" >&2; exit 1; }
pressKey "$box" Escape
window=$(findWindow "Orrelia") || { echo "run-viewer: no viewer window" >&2; exit 1; }
sleep 4
import -window "$window" "$shots/planet-viewer.png"
pressKey "$window" Escape
wait "$viewerPid"
echo "planet-viewer ran headless; screenshot: $shots/planet-viewer.png"
