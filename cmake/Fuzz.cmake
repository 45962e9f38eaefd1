# Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
# Fuzz targets of the text and settings readers (tests/fuzz), built with clang's
# libFuzzer: -DGRIDWISE_FUZZ=ON with CMAKE_CXX_COMPILER=clang++ (Debian: clang-16 and
# libfuzzer-16-dev). Every source of the build is instrumented for the fuzzer's
# coverage and checked by AddressSanitizer and UndefinedBehaviorSanitizer; the fuzz
# programs link the folder libraries. scripts/fuzz.sh configures, builds and runs them.
#
# The flags go into CMAKE_<LANG>_FLAGS, whose value at the end of this directory is
# the one every target of it is compiled with, and tests/fuzz defines its programs
# once the folder libraries exist (at the end of the top-level directory when they
# do not yet); so this file may be included anywhere in the top-level CMakeLists.txt.
include_guard(GLOBAL)
option(GRIDWISE_FUZZ "Build the libFuzzer targets (needs clang)" OFF)
if(GRIDWISE_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "GRIDWISE_FUZZ needs clang (for example -DCMAKE_CXX_COMPILER=clang++-16 -DCMAKE_C_COMPILER=clang-16)")
  endif()
  set(GRIDWISE_FUZZ_FLAGS "-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer")
  # Highway's portable target is HWY_SCALAR under g++ 12 and HWY_EMU128 under clang;
  # the batch kernels name the former, so clang is asked for it too.
  string(APPEND GRIDWISE_FUZZ_FLAGS " -DHWY_BROKEN_EMU128=1")
  string(APPEND CMAKE_CXX_FLAGS " ${GRIDWISE_FUZZ_FLAGS}")
  string(APPEND CMAKE_C_FLAGS " ${GRIDWISE_FUZZ_FLAGS}")
  string(APPEND CMAKE_EXE_LINKER_FLAGS " -fsanitize=address,undefined")
  # Shared libraries use the sanitizers' shared runtime, so that the library's
  # check for undefined symbols holds.
  string(APPEND CMAKE_SHARED_LINKER_FLAGS " -fsanitize=address,undefined -shared-libsan")
  add_subdirectory(${CMAKE_SOURCE_DIR}/tests/fuzz ${CMAKE_BINARY_DIR}/tests/fuzz)
endif()
