#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing.
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config libgtest-dev libbenchmark-dev libgeographiclib-dev libproj-dev)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  if ! "${sudo_cmd[@]}" apt-get install -y "${missing[@]}"; then
    "${sudo_cmd[@]}" apt-get update
    "${sudo_cmd[@]}" apt-get install -y "${missing[@]}"
  fi
fi

# The locale tests switch the process to a decimal-comma locale; make sure one exists.
if ! locale -a 2>/dev/null | grep -qix 'de_DE.utf8'; then
  if [ "$(id -u)" -eq 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    if ! dpkg-query -W -f='${Status}' locales 2>/dev/null | grep -q "install ok installed"; then
      apt-get install -y locales >/dev/null 2>&1 || { apt-get update >/dev/null 2>&1 && apt-get install -y locales >/dev/null 2>&1; } || true
    fi
    if command -v localedef >/dev/null 2>&1; then
      localedef -i de_DE -f UTF-8 de_DE.UTF-8 >/dev/null 2>&1 || true
    fi
  fi
fi
