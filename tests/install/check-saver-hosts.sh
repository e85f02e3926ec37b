#!/usr/bin/env bash
# The installed savers under the real screen-saver hosts, in a private Xvfb:
#
# - the xscreensaver daemon, run as an unprivileged user (as root it will
#   not launch hacks), with a ~/.xscreensaver whose programs: list holds the
#   very line the README gives (GL: planet-saver --root): after
#   `xscreensaver-command -activate` the saver runs from
#   /usr/libexec/xscreensaver, found by name, and the screen shows its
#   scene; after `-deactivate` the saver has exited.
# - xsecurelock's saver_xscreensaver module with the variables the README
#   gives: it runs the saver from the same list.
#
# Needs root (to run the hosts as the test user) and the savers installed
# in /usr/libexec/xscreensaver, as the Debian package puts them.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
testUser=orrelia-test
saverDir=/usr/libexec/xscreensaver
scratch=$(mktemp -d)
chmod 755 "$scratch"
hostPid=
cleanUp() {
  stopHost
  stopXvfb
  rm -rf "$scratch"
}
trap cleanUp EXIT

if [ "$(id -u)" -ne 0 ]; then
  echo "check-saver-hosts.sh needs root (to run the hosts as $testUser)" >&2
  exit 1
fi
for saver in "${savers[@]}"; do
  [ -x "$saverDir/$saver" ] || { echo "$saverDir/$saver is not installed" >&2; exit 1; }
done
id -u "$testUser" >/dev/null 2>&1 || useradd --create-home --shell /usr/sbin/nologin "$testUser"

# A home of the test's own, so a real ~/.xscreensaver is never touched.
home="$scratch/home"
mkdir "$home"
chown "$testUser": "$home"

# Runs a command as the test user with a plain environment.
asUser() {
  runuser -u "$testUser" -- env -i DISPLAY="$DISPLAY" HOME="$home" USER="$testUser" LOGNAME="$testUser" \
    PATH=/usr/local/bin:/usr/bin:/bin "$@"
}

# Starts a host program as the test user in a process group of its own.
startHost() {
  setsid runuser -u "$testUser" -- env -i DISPLAY="$DISPLAY" HOME="$home" USER="$testUser" LOGNAME="$testUser" \
    PATH=/usr/local/bin:/usr/bin:/bin "$@" >"$scratch/host.log" 2>&1 &
  hostPid=$!
}

stopHost() {
  if [ -n "$hostPid" ]; then
    kill -TERM -- "-$hostPid" 2>/dev/null
    waitFor 50 eval '! kill -0 "$hostPid" 2>/dev/null'
    kill -KILL -- "-$hostPid" 2>/dev/null
    wait "$hostPid" 2>/dev/null
    hostPid=
  fi
  # Hosts put the savers they start in process groups of their own.
  local saver pid
  for saver in "${savers[@]}"; do
    for pid in $(pgrep -u "$testUser" -x "$saver"); do kill -KILL "$pid" 2>/dev/null; done
  done
}

writeSaverList() {
  cat >"$home/.xscreensaver" <<LIST
timeout: 1:00:00
lock: False
splash: False
fade: False
unfade: False
mode: one
selected: 0
programs: \\
  GL: $1 --root \\n\\
LIST
  chown "$testUser": "$home/.xscreensaver"
}

# The saver's pid once it runs as the test user, else nothing.
saverPid() { pgrep -u "$testUser" -x "$1" | head -n 1; }

# True once process $1 has ended (gone, or a zombie waiting for its parent).
hasEnded() { [ ! -e "/proc/$1" ] || [ "$(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null)" = Z ]; }

# The running saver is the installed one with --root, and the screen shows
# its scene.
checkRunningSaver() {
  local saver=$1 host=$2 pid=$3
  local exe arguments
  exe=$(readlink "/proc/$pid/exe")
  arguments=$(tr '\0' ' ' <"/proc/$pid/cmdline")
  [ "$exe" = "$saverDir/$saver" ] || fail "$host ran $exe, not $saverDir/$saver"
  [ "$arguments" = "$saverDir/$saver --root " ] || [ "$arguments" = "$saver --root " ] ||
    fail "$host ran '$arguments', not $saver --root"
  sleep 3
  import -window root "$scratch/$host-$saver.png"
  if centreShowsSun "$scratch/$host-$saver.png"; then
    pass "$host runs the installed $saver and the screen shows its scene"
  else
    fail "$host: the screen does not show $saver's scene"
  fi
}

checkXscreensaver() {
  local saver=$1
  writeSaverList "$saver"
  startHost xscreensaver -no-splash -verbose
  if ! waitFor 100 asUser xscreensaver-command -version >/dev/null 2>&1; then
    fail "the xscreensaver daemon did not start: $(cat "$scratch/host.log")"
    stopHost
    return
  fi
  asUser xscreensaver-command -activate >/dev/null 2>&1 || fail "xscreensaver-command -activate"
  local pid=
  waitFor 150 eval 'pid=$(saverPid "$saver"); [ -n "$pid" ]'
  if [ -z "$pid" ]; then
    fail "xscreensaver did not start $saver after -activate; its log:"
    cat "$scratch/host.log" >&2
    stopHost
    return
  fi
  checkRunningSaver "$saver" xscreensaver "$pid"
  asUser xscreensaver-command -deactivate >/dev/null 2>&1 || fail "xscreensaver-command -deactivate"
  if waitFor 100 hasEnded "$pid"; then
    pass "$saver has exited after xscreensaver-command -deactivate"
  else
    fail "$saver still runs 10 s after xscreensaver-command -deactivate"
  fi
  asUser xscreensaver-command -exit >/dev/null 2>&1
  stopHost
}

# xsecurelock runs its saver module with XSCREENSAVER_WINDOW set to its
# own window; here the root window stands in for it.
checkXsecurelockModule() {
  local saver=$1
  local module=/usr/libexec/xsecurelock/saver_xscreensaver
  [ -x "$module" ] || { fail "xsecurelock's $module is not installed"; return; }
  writeSaverList "$saver"
  local root
  root=$(xwininfo -root | awk '/Window id:/ { print $4 }')
  startHost XSCREENSAVER_WINDOW="$root" XSECURELOCK_SAVER=saver_xscreensaver \
    XSECURELOCK_XSCREENSAVER_PATH="$saverDir" "$module"
  local pid=
  waitFor 150 eval 'pid=$(saverPid "$saver"); [ -n "$pid" ]'
  if [ -z "$pid" ]; then
    fail "xsecurelock's saver_xscreensaver did not start $saver: $(cat "$scratch/host.log")"
  else
    checkRunningSaver "$saver" xsecurelock "$pid"
  fi
  stopHost
}

startXvfb || { fail "no Xvfb"; finish; }
for saver in "${savers[@]}"; do checkXscreensaver "$saver"; done
checkXsecurelockModule planet-saver
finish
