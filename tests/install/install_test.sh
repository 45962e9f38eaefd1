#!/usr/bin/env bash
# Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
# install_test.sh BUILD_DIR HOST_SOURCE TEST_DATA C_COMPILER
#
# Installs the build folder into a temporary prefix and builds the C host program
# against the installed copy twice, through find_package(Gridwise) and through
# pkg-config, then runs both on the installed library.
set -eu
if [ $# -ne 4 ]; then
  echo "usage: $0 BUILD_DIR HOST_SOURCE TEST_DATA C_COMPILER" >&2
  exit 2
fi
build=$1
host_source=$2
test_data=$3
cc=$4
here=$(cd "$(dirname "$0")" && pwd)
source_root=$(cd "$here/../.." && pwd)

tmp=$(mktemp -d "${TMPDIR:-/tmp}/gw-install-XXXXXX")
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix

fail() {
  echo "install test: $*" >&2
  exit 1
}

cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" || { cat "$tmp/install.log" >&2; fail "install failed"; }

pc=$(find "$prefix" -path '*/pkgconfig/gridwise.pc' | head -n 1)
[ -n "$pc" ] || fail "gridwise.pc was not installed"
pkgdir=$(dirname "$pc")
libdir=$(dirname "$pkgdir")
[ -f "$prefix/include/gridwise/geodetics.h" ] || fail "public headers were not installed"
[ -f "$libdir/cmake/Gridwise/GridwiseConfig.cmake" ] || fail "GridwiseConfig.cmake was not installed"
[ -f "$libdir/cmake/Gridwise/GridwiseConfigVersion.cmake" ] || fail "GridwiseConfigVersion.cmake was not installed"

# The library: versioned file, soname link and development link.
lib=$(find "$libdir" -maxdepth 1 -type f -name 'libgridwise.so.*' | head -n 1)
[ -n "$lib" ] || fail "no libgridwise.so.* file in $libdir"
soname=$(readelf -d "$lib" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
[ "$soname" = "libgridwise.so.1" ] || fail "soname of $lib is '$soname', expected libgridwise.so.1"
[ -L "$libdir/libgridwise.so.1" ] || fail "libgridwise.so.1 link missing"
[ -L "$libdir/libgridwise.so" ] || fail "libgridwise.so link missing"
[ "$libdir/libgridwise.so" -ef "$lib" ] || fail "libgridwise.so does not lead to $lib"

# The EPSG reader, when it is built: a library of its own with its soname.
epsg=$(find "$libdir" -maxdepth 1 -type f -name 'libgridwise-epsg.so.*' | head -n 1)
if [ -n "$epsg" ]; then
  soname=$(readelf -d "$epsg" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
  [ "$soname" = "libgridwise-epsg.so.1" ] || fail "soname of $epsg is '$soname', expected libgridwise-epsg.so.1"
fi

# Nothing installed may point back into the source or build tree.
if grep -rlF -e "$source_root" -e "$(cd "$build" && pwd)" "$libdir/cmake" "$pc"; then
  fail "installed package files refer to the source or build tree"
fi
# Nor are test programs or benchmarks installed: beside the library, only the
# gridwise tool and its manual page, the dialogs' help pages with their pictures,
# the licence (as Debian's copyright file) and the news, and the Python package
# when it is built.
extra=$(find "$prefix" -type f ! -path "$prefix/include/gridwise/*" ! -path "$libdir/cmake/Gridwise/*" \
          ! -path "$pc" ! -path "$libdir/libgridwise.so*" ! -path "$libdir/libgridwise-qt.so.*" \
          ! -path "$libdir/libgridwise-epsg.so.*" \
          ! -path "$prefix/bin/gridwise" ! -path "$prefix/share/man/man1/gridwise.1" \
          ! -path "$prefix/share/doc/gridwise/dialogs/*" \
          ! -path "$prefix/share/doc/gridwise/copyright" ! -path "$prefix/share/doc/gridwise/NEWS.md" \
          ! -path "$prefix/lib/python3*/dist-packages/gridwise/*")
[ -z "$extra" ] || fail "unexpected installed files: $extra"

[ -f "$prefix/share/doc/gridwise/copyright" ] || fail "the licence was not installed"

# The installed tool and Python extension use the installed library (one copy of
# its code), found from their own folders.
uses_installed_library() {
  resolved=$(ldd "$1" | sed -n 's/.*libgridwise\.so\.1 => \([^ ]*\).*/\1/p')
  [ "$resolved" -ef "$libdir/libgridwise.so.1" ] || fail "$1 loads '$resolved', not the installed library"
}

# The installed Python package, when there is one, imports and converts on its own.
pydir=$(find "$prefix" -path '*/dist-packages/gridwise/__init__.py' -printf '%h\n' | head -n 1)
if [ -n "$pydir" ]; then
  uses_installed_library "$(find "$pydir" -name '_gridwise*.so' | head -n 1)"
  pyconverted=$(cd "$tmp" && PYTHONPATH=$(dirname "$pydir") /usr/bin/python3 -c \
    'import gridwise; n, e = gridwise.Geodesy().geo_to_grid(34, -117); print(f"{n:.3f} {e:.3f}")') ||
    fail "the installed Python package does not import"
  [ "$pyconverted" = "3762155.972 500000.000" ] || fail "the installed Python package wrote '$pyconverted'"
fi

# The installed tool converts on its own.
[ -x "$prefix/bin/gridwise" ] || fail "the gridwise tool was not installed"
[ -f "$prefix/share/man/man1/gridwise.1" ] || fail "the manual page gridwise.1 was not installed"
uses_installed_library "$prefix/bin/gridwise"
converted=$(echo '34 -117' | "$prefix/bin/gridwise" geo2grid) || fail "the installed gridwise tool failed"
[ "$converted" = "3762155.972 500000.000" ] || fail "the installed gridwise tool wrote '$converted'"

# Runs a host program on the installed library only.
run_host() {
  exe=$1
  resolved=$(LD_LIBRARY_PATH=$libdir ldd "$exe" | sed -n 's/.*libgridwise\.so\.1 => \([^ ]*\).*/\1/p')
  [ "$resolved" -ef "$libdir/libgridwise.so.1" ] || fail "$exe loads '$resolved', not the installed library"
  mkdir -p "$tmp/settings"
  LD_LIBRARY_PATH=$libdir GRIDWISE_SETTINGS_DIR=$tmp/settings "$exe" || fail "$exe failed"
}

# Through the CMake package.
cmake -S "$here" -B "$tmp/cmake-build" -G Ninja -DCMAKE_C_COMPILER="$cc" \
  -DCMAKE_PREFIX_PATH="$prefix" -DHOST_SOURCE="$host_source" -DTEST_DATA="$test_data" \
  >"$tmp/configure.log" 2>&1 || { cat "$tmp/configure.log" >&2; fail "find_package(Gridwise) project did not configure"; }
cmake --build "$tmp/cmake-build" >"$tmp/build.log" 2>&1 || { cat "$tmp/build.log" >&2; fail "find_package(Gridwise) project did not build"; }
run_host "$tmp/cmake-build/c_host"

# Through pkg-config.
export PKG_CONFIG_PATH=$pkgdir
[ "$(pkg-config --modversion gridwise)" = "1.0.0" ] || fail "pkg-config reports version $(pkg-config --modversion gridwise)"
# shellcheck disable=SC2046
"$cc" -std=c11 -o "$tmp/c_host_pc" "$host_source" -DGRIDWISE_TEST_DATA="\"$test_data\"" \
  $(pkg-config --cflags --libs gridwise) || fail "pkg-config build failed"
run_host "$tmp/c_host_pc"
echo "install test: passed ($prefix)"
