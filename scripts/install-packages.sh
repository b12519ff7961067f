#!/usr/bin/env bash
# Installs the Debian packages named in the given list files (one package a line), through
# sudo when not run as root. Skips apt-get entirely when everything is installed already.
set -euo pipefail
packages=()
for list in "$@"; do
    while read -r name; do
        [[ -n "$name" && "$name" != \#* ]] && packages+=("$name")
    done <"$list"
done
missing=()
for name in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q 'install ok installed' || missing+=("$name")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0
sudo=()
[[ "$(id -u)" -ne 0 ]] && sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
