# Helpers shared by the install checks; sourced, not run.

failures=0

appId=org.orrelia.PlanetViewer
savers=(planet-saver orrery-saver)
iconSizes=(32 48 64 128 256)

# What an install puts under its prefix, and nothing more.
expectedFiles() {
  echo bin/planet-viewer
  for saver in "${savers[@]}"; do
    echo "libexec/xscreensaver/$saver"
    echo "share/xscreensaver/config/$saver.xml"
    echo "share/applications/screensavers/$saver.desktop"
    echo "share/man/man6/$saver.6"
  done
  echo "share/applications/$appId.desktop"
  echo "share/metainfo/$appId.metainfo.xml"
  echo share/man/man1/planet-viewer.1
  for size in "${iconSizes[@]}"; do echo "share/icons/hicolor/${size}x$size/apps/$appId.png"; done
}

# Prints a failed check and counts it; the checks go on, so one run shows
# every fault.
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

pass() { echo "ok: $*"; }

# Ends the script with the count of failed checks.
finish() {
  if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
  fi
  echo "all checks passed"
}

# Starts a private Xvfb on a free display number and exports DISPLAY.
# Sets xvfbPid. Needs a scratch folder in $scratch.
startXvfb() {
  rm -f "$scratch/display"
  Xvfb -displayfd 9 -screen 0 1280x1024x24 -noreset -nolisten tcp 9>"$scratch/display" 2>"$scratch/xvfb.log" &
  xvfbPid=$!
  for _ in $(seq 100); do
    if [ -s "$scratch/display" ]; then
      export DISPLAY=":$(head -n 1 "$scratch/display")"
      return 0
    fi
    sleep 0.1
  done
  echo "Xvfb did not start:" >&2
  cat "$scratch/xvfb.log" >&2
  return 1
}

stopXvfb() {
  if [ -n "${xvfbPid:-}" ]; then
    kill "$xvfbPid" 2>/dev/null || true
    wait "$xvfbPid" 2>/dev/null || true
    xvfbPid=
  fi
}

# Waits up to $2 tenths of a second for the command in "$@" (after the
# count) to succeed.
waitFor() {
  local tenths=$1
  shift
  for _ in $(seq "$tenths"); do
    if "$@"; then return 0; fi
    sleep 0.1
  done
  return 1
}

# The id of the first window named $1, searched through the whole tree.
findWindow() {
  xwininfo -root -tree | awk -v name="\"$1\":" '$2 == name { print $1; exit }'
}

# True when the middle eighth of a screenshot (of the screen or of a
# window) shows a lit, warm sun: both scenes put their sun at the centre,
# yellow in one and orange in the other, and a black or failed screen shows
# neither. Measured: mean red 0.2 to 0.54, at least 0.17 above blue.
centreShowsSun() {
  local means
  means=$(convert "$1" -gravity center -crop 12.5%x12.5%+0+0 +repage -format '%[fx:mean.r] %[fx:mean.b]' info:)
  echo "middle eighth of $(basename "$1"): mean red, blue = $means"
  echo "$means" | awk '{ exit !($1 >= 0.1 && $1 >= $2 + 0.08) }'
}
