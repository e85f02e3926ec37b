#!/usr/bin/env bash
# Installs a configured, built tree into scratch DESTDIRs and checks what
# lands there: every file in place and nothing else, the desktop entries,
# AppStream metainfo and xscreensaver files pass their validators and point
# at installed files, the icons have their sizes and show the 32-pixel
# design, and the manual pages render without warnings.
#
#   check-install-tree.sh BUILD_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
build=${1:?usage: check-install-tree.sh BUILD_DIR}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# install PREFIX DESTDIR: a cmake --install into DESTDIR; output in install.log.
installInto() {
  rm -rf "$2"
  DESTDIR=$2 cmake --install "$build" --prefix "$1" >"$scratch/install.log" 2>&1
}

# The value of KEY in the [Desktop Entry] group of a desktop file.
desktopValue() {
  awk -F= -v key="$2" '/^\[/ { inEntry = ($0 == "[Desktop Entry]") } inEntry && $1 == key { sub(/^[^=]*=/, ""); print; exit }' "$1"
}

checkFileList() {
  local root=$1
  expectedFiles | sort >"$scratch/expected"
  (cd "$root" && find . -type f -o -type l | sed 's|^\./||' | sort) >"$scratch/installed"
  if diff -u "$scratch/expected" "$scratch/installed" >"$scratch/list.diff"; then
    pass "installed files are exactly the expected $(wc -l <"$scratch/expected")"
  else
    fail "installed files differ from the expected list (- missing, + unexpected):"
    sed -n '3,$p' "$scratch/list.diff" >&2
  fi
  for program in bin/planet-viewer libexec/xscreensaver/planet-saver libexec/xscreensaver/orrery-saver; do
    [ -x "$root/$program" ] || fail "$program is not executable"
  done
}

# desktop-file-validate passes with hints only (screen-saver entries get a
# hint for Categories=Screensaver;, which their hosts need).
validateDesktopFile() {
  local output
  if ! output=$(desktop-file-validate "$1" 2>&1); then
    fail "desktop-file-validate $1: $output"
  elif echo "$output" | grep -E -q 'error:|warning:'; then
    fail "desktop-file-validate $1 warns: $output"
  else
    pass "desktop-file-validate $(basename "$1")"
  fi
}

# checkSaverEntries DESTDIR PREFIX QUOTE: each saver entry runs the saver
# installed under PREFIX with --root, its path in Exec= between QUOTEs.
checkSaverEntries() {
  local destdir=$1 prefix=$2 quote=$3
  for saver in "${savers[@]}"; do
    local entry="$destdir$prefix/share/applications/screensavers/$saver.desktop"
    local path="$prefix/libexec/xscreensaver/$saver"
    validateDesktopFile "$entry"
    local tryExec exec
    tryExec=$(desktopValue "$entry" TryExec)
    exec=$(desktopValue "$entry" Exec)
    [ "$tryExec" = "$path" ] || fail "$saver.desktop: TryExec=$tryExec, expected $path"
    [ "$exec" = "$quote$path$quote --root" ] || fail "$saver.desktop: Exec=$exec, expected $quote$path$quote --root"
    [ -x "$destdir$path" ] || fail "$saver.desktop: $path is not an installed program"
    [ "$(desktopValue "$entry" Categories)" = "Screensaver;" ] || fail "$saver.desktop: Categories is not Screensaver;"
    [ "$(desktopValue "$entry" OnlyShowIn)" = "MATE;XFCE;" ] || fail "$saver.desktop: OnlyShowIn is not MATE;XFCE;"
  done
  pass "saver entries under prefix '$prefix' run the installed savers with --root"
}

checkViewerEntry() {
  local root=$1
  local entry="$root/share/applications/$appId.desktop"
  validateDesktopFile "$entry"
  [ "$(desktopValue "$entry" Exec)" = planet-viewer ] || fail "$appId.desktop: Exec is not planet-viewer"
  [ "$(desktopValue "$entry" Categories)" = "Education;Science;Astronomy;" ] ||
    fail "$appId.desktop: Categories is not Education;Science;Astronomy;"
  local icon
  icon=$(desktopValue "$entry" Icon)
  for size in "${iconSizes[@]}"; do
    [ -f "$root/share/icons/hicolor/${size}x$size/apps/$icon.png" ] || fail "$appId.desktop: no ${size}px icon named $icon"
  done
}

checkMetainfo() {
  local root=$1
  local file="$root/share/metainfo/$appId.metainfo.xml"
  local output
  output=$(appstreamcli validate --no-net "$file" 2>&1) || fail "appstreamcli validate: $output"
  output=$(appstream-util validate-relax --nonet "$file" 2>&1) || fail "appstream-util validate-relax: $output"
  xmllint --noout "$file" || fail "xmllint $file"
  [ "$(xmllint --xpath 'string(/component/id)' "$file")" = "$appId" ] || fail "metainfo id is not $appId"
  local launchable
  launchable=$(xmllint --xpath 'string(/component/launchable[@type="desktop-id"])' "$file")
  [ -f "$root/share/applications/$launchable" ] || fail "metainfo launches $launchable, which is not installed"
  pass "metainfo validates and launches the installed desktop entry"
}

checkXscreensaverConfigs() {
  local root=$1
  for saver in "${savers[@]}"; do
    local file="$root/share/xscreensaver/config/$saver.xml"
    if ! xmllint --noout "$file"; then
      fail "xmllint $file"
      continue
    fi
    local name arg gl label
    name=$(xmllint --xpath 'string(/screensaver/@name)' "$file")
    arg=$(xmllint --xpath 'string(/screensaver/command/@arg)' "$file")
    gl=$(xmllint --xpath 'string(/screensaver/@gl)' "$file")
    label=$(xmllint --xpath 'string(/screensaver/@_label)' "$file")
    # xscreensaver-settings finds the file by the program's name.
    [ "$name" = "$saver" ] || fail "$saver.xml: name=\"$name\""
    [ "$arg" = "--root" ] || fail "$saver.xml: command arg=\"$arg\""
    [ "$gl" = yes ] || fail "$saver.xml: gl=\"$gl\""
    [ -n "$label" ] || fail "$saver.xml: no _label"
    [ -n "$(xmllint --xpath 'string(/screensaver/_description)' "$file" | tr -d '[:space:]')" ] ||
      fail "$saver.xml: no _description"
  done
  pass "xscreensaver config files are well formed and name their savers"
}

# Each larger icon is its size and, scaled down to 32 pixels, shows the
# 32-pixel picture (a flipped or shifted design scores about 0.16 here).
checkIcons() {
  local root=$1
  local small="$root/share/icons/hicolor/32x32/apps/$appId.png"
  for size in "${iconSizes[@]}"; do
    local icon="$root/share/icons/hicolor/${size}x$size/apps/$appId.png"
    local geometry
    geometry=$(identify -format '%wx%h' "$icon" 2>&1) || { fail "identify $icon: $geometry"; continue; }
    [ "$geometry" = "${size}x$size" ] || { fail "${size}px icon is $geometry"; continue; }
    [ "$size" = 32 ] && continue
    convert "$icon" -filter box -resize 32x32 "png24:$scratch/down.png"
    local error
    error=$(compare -metric RMSE "$scratch/down.png" "$small" null: 2>&1 | sed 's/.*(\(.*\)).*/\1/')
    echo "${size}px icon scaled to 32: RMSE $error against the 32px icon"
    awk -v e="$error" 'BEGIN { exit !(e < 0.08) }' || fail "${size}px icon does not show the 32px design (RMSE $error)"
  done
}

checkManPages() {
  local root=$1
  for page in man1/planet-viewer.1 man6/planet-saver.6 man6/orrery-saver.6; do
    local file="$root/share/man/$page"
    LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$file" >"$scratch/page.txt" 2>"$scratch/page.err"
    if [ -s "$scratch/page.err" ] || [ ! -s "$scratch/page.txt" ]; then
      fail "man -l $page: $(cat "$scratch/page.err")"
      continue
    fi
    # mandb files the page under the NAME line; lexgrog reads it the same way.
    lexgrog "$file" >/dev/null || fail "$page: no NAME line mandb can read"
    for heading in NAME SYNOPSIS DESCRIPTION "EXIT STATUS"; do
      grep -q "^$heading" "$scratch/page.txt" || fail "$page: no $heading section"
    done
  done
  for saver in "${savers[@]}"; do
    LC_ALL=C.UTF-8 man -l "$root/share/man/man6/$saver.6" 2>/dev/null | grep -q -F "GL: $saver --root \\n\\" ||
      fail "$saver.6 does not show the programs: line for ~/.xscreensaver"
  done
  pass "manual pages render without warnings"
}

# The usual install: everything in place and valid.
root="$scratch/usr-install"
if installInto /usr "$root"; then
  checkFileList "$root/usr"
  checkSaverEntries "$root" /usr ""
  checkViewerEntry "$root/usr"
  checkMetainfo "$root/usr"
  checkXscreensaverConfigs "$root/usr"
  checkIcons "$root/usr"
  checkManPages "$root/usr"
else
  fail "cmake --install --prefix /usr: $(cat "$scratch/install.log")"
fi

# Other prefixes: the saver entries follow the prefix, quoted where it has
# a space; a prefix Exec= cannot carry is refused with a message.
root="$scratch/space-install"
if installInto "/opt/orrelia test" "$root"; then
  checkSaverEntries "$root" "/opt/orrelia test" '"'
else
  fail "cmake --install --prefix '/opt/orrelia test': $(cat "$scratch/install.log")"
fi
root="$scratch/dollar-install"
if installInto '/opt/orrelia$1' "$root"; then
  fail "a prefix with \$ was installed into Exec= unescaped"
elif grep -q "cannot carry" "$scratch/install.log"; then
  pass "a prefix with \$ is refused with a message"
else
  fail "a prefix with \$ failed without the expected message: $(cat "$scratch/install.log")"
fi

finish
