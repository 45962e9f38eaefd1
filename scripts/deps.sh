#!/usr/bin/env bash
# Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
# Installs the Debian packages the build needs, only those that are missing. As root
# it uses apt-get directly; otherwise sudo, when there is one. The package lists are
# refreshed only when an install from the present lists fails (a fresh machine may
# have none).
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config dpkg-dev libgtest-dev libbenchmark-dev libgeographiclib-dev libproj-dev libhwy-dev
          qt6-base-dev # qt6-base-dev: the dialogs' Qt backend and its offscreen platform
          xvfb xauth # a virtual X server for the dialogs' real-window tests (xvfb-run)
          pybind11-dev python3-dev python3-numpy python3-pytest # the Python package and its tests
          python3-dask python3-distributed python3-pandas python3-pyproj # its Dask part; pyproj: bench, EPSG peer
          geographiclib-tools proj-bin # the peers' tools the documentation tests run
          libsqlite3-dev proj-data) # the EPSG reader: SQLite and the registry database it reads

installed() {
  local status
  status=$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null || true)
  [ "$status" = "install ok installed" ]
}

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    as_root=(sudo)
  elif [ ${#missing[@]} -gt 0 ]; then
    echo "missing packages: ${missing[*]}" >&2
    echo "run this command as root (or install them with apt-get install -y ${missing[*]})" >&2
    exit 1
  fi
fi

apt_install() {
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "$@" ||
    { "${as_root[@]}" apt-get update && "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "$@"; }
}

if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  apt_install "${missing[@]}"
fi

# The locale tests switch the process to a decimal-comma locale; make sure one exists
# (without it those tests are skipped). Only root adds it.
locales_now=$(locale -a 2>/dev/null || true)
if ! grep -qix 'de_DE.utf8' <<<"$locales_now" && [ "$(id -u)" -eq 0 ]; then
  if ! installed locales; then
    apt_install locales >/dev/null 2>&1 || true
  fi
  if command -v localedef >/dev/null 2>&1; then
    localedef -i de_DE -f UTF-8 de_DE.UTF-8 >/dev/null 2>&1 || true
  fi
fi
