#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs to build, run and test,
# skipping what is already there. Uses sudo when not run as root.
set -euo pipefail

# One package list per purpose, in tools/packages/*.txt; '#' starts a comment.
here=$(cd "$(dirname "$0")" && pwd)
mapfile -t packages < <(sed -e 's/#.*//' "$here"/packages/*.txt | tr ' ' '\n' | grep -v '^$' | sort -u)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
