# SPDX-License-Identifier: GPL-3.0-or-later
# Build variants that look for faults; the normal build is unaffected.
#
#   ORVELLA_SANITIZE  everything built with AddressSanitizer and
#                     UndefinedBehaviorSanitizer; the first finding ends the
#                     program (no recovery), so a test that hits one fails.
#   ORVELLA_FUZZ      the libFuzzer targets of fuzz/ (clang only), with the
#                     Qt-free libraries instrumented for coverage and built
#                     with the same sanitizers.
#
# Neither changes floating-point results: the sanitizers only add checks, and
# the project-wide -ffp-contract=off -fno-fast-math stay in force. Qt itself
# is not instrumented.

option(ORVELLA_SANITIZE "Build everything with AddressSanitizer and UBSan" OFF)
option(ORVELLA_FUZZ "Build the libFuzzer targets (clang)" OFF)

if(ORVELLA_SANITIZE OR ORVELLA_FUZZ)
  # float-cast-overflow (a double too large for its integer type) is not part
  # of GCC's "undefined" group; clang has it there already.
  set(ORVELLA_SANITIZER_FLAGS
    -fsanitize=address,undefined,float-cast-overflow
    -fno-sanitize-recover=all
    -fno-omit-frame-pointer)
  add_compile_options(${ORVELLA_SANITIZER_FLAGS}
    # Bounds checks in the standard library's operator[], front(), back().
    -D_GLIBCXX_ASSERTIONS)
  add_link_options(${ORVELLA_SANITIZER_FLAGS})

  # How the sanitizers report, for every test CTest runs in this build: a
  # file CTest reads before the tests sets the variables in its own
  # environment, which the test programs inherit. Values already set by the
  # caller win.
  set(ORVELLA_LSAN_SUPPRESSIONS "${CMAKE_CURRENT_LIST_DIR}/lsan.supp")
  configure_file("${CMAKE_CURRENT_LIST_DIR}/sanitizer-env.cmake.in"
                 "${CMAKE_BINARY_DIR}/sanitizer-env.cmake" @ONLY)
  set_property(DIRECTORY "${CMAKE_SOURCE_DIR}" APPEND PROPERTY
    TEST_INCLUDE_FILES "${CMAKE_BINARY_DIR}/sanitizer-env.cmake")
endif()

if(ORVELLA_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "ORVELLA_FUZZ needs clang++ (libFuzzer): "
                        "configure with -DCMAKE_CXX_COMPILER=clang++ or the preset \"fuzz\".")
  endif()
  # Coverage feedback for libFuzzer in every library the targets link; the
  # targets themselves add -fsanitize=fuzzer for libFuzzer's main().
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
