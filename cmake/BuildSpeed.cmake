# SPDX-License-Identifier: GPL-3.0-or-later
# How fast the project builds, not what it builds: nothing here changes a flag
# that decides generated code. Included by the top-level CMakeLists.txt, which
# calls orvella_tune_build() once every folder has added its targets.
#
#   ORVELLA_PCH  The Qt Widgets headers and the standard headers most sources
#                include, compiled once (target orvella_pch) and reused by
#                every target that uses Qt Widgets: the window libraries, the
#                plugins, the program and the tests, which otherwise parse
#                them each again. Off by default when a compiler launcher
#                (ccache) is set: ccache does not cache sources compiled with
#                a precompiled header, and the build then needs no more than
#                ccache's hits. GCC and clang.
#
# The test programs (tests/, fuzz/) are linked with lld, clang's own linker,
# which links them in a fraction of the default linker's time; with GCC with
# gold, which comes with binutils. (gold would bury clang's sanitizer builds
# in warnings about the sanitizer's local symbols.)
# The program and its plugins, which the package ships, keep the default
# linker. Linking places code; it changes no instruction.
#
# The tools that are not tests (tests/app/companion_snapshots) are built on
# request only (cmake --build build --target companion_snapshots), so that
# make check and its sanitizer pass compile only what the tests run.

if(CMAKE_CXX_COMPILER_LAUNCHER OR NOT CMAKE_CXX_COMPILER_ID MATCHES "^(GNU|Clang)$")
  set(orvella_pch_default OFF)
else()
  set(orvella_pch_default ON)
endif()
option(ORVELLA_PCH "Precompile the Qt Widgets headers once for every target that uses them"
       ${orvella_pch_default})

# Every target that the folders below `dir` define, into `out`.
function(orvella_targets_below dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    orvella_targets_below(${sub} below)
    list(APPEND targets ${below})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

# Whether `target` compiles against Qt Widgets: it links Qt6::Widgets, or a
# library of the project that passes it on (PUBLIC), at any depth. Remembered
# per target in a global property.
function(orvella_uses_widgets target out)
  get_property(known GLOBAL PROPERTY ORVELLA_WIDGETS_${target} SET)
  if(known)
    get_property(result GLOBAL PROPERTY ORVELLA_WIDGETS_${target})
    set(${out} ${result} PARENT_SCOPE)
    return()
  endif()
  set(result OFF)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    set(props INTERFACE_LINK_LIBRARIES)
  else()
    set(props LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
  endif()
  foreach(prop IN LISTS props)
    get_target_property(libs ${target} ${prop})
    if(NOT libs)
      continue()
    endif()
    foreach(lib IN LISTS libs)
      if(lib STREQUAL "Qt6::Widgets" OR lib STREQUAL "Qt::Widgets")
        set(result ON)
      elseif(NOT lib MATCHES "^\\$<" AND TARGET ${lib})
        get_target_property(imported ${lib} IMPORTED)
        if(NOT imported)
          orvella_uses_widgets(${lib} sub)
          if(sub)
            set(result ON)
          endif()
        endif()
      endif()
      if(result)
        break()
      endif()
    endforeach()
    if(result)
      break()
    endif()
  endforeach()
  set_property(GLOBAL PROPERTY ORVELLA_WIDGETS_${target} ${result})
  set(${out} ${result} PARENT_SCOPE)
endfunction()

include(CheckLinkerFlag)
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  set(orvella_test_linker lld)
else()
  set(orvella_test_linker gold)
endif()
check_linker_flag(CXX -fuse-ld=${orvella_test_linker} ORVELLA_HAVE_TEST_LINKER)

function(orvella_tune_build)
  if(TARGET companion_snapshots)
    set_target_properties(companion_snapshots PROPERTIES EXCLUDE_FROM_ALL ON)
  endif()

  if(ORVELLA_HAVE_TEST_LINKER)
    set(test_targets "")
    foreach(dir IN ITEMS tests fuzz)
      if(EXISTS ${CMAKE_SOURCE_DIR}/${dir}/CMakeLists.txt)
        get_property(added DIRECTORY ${CMAKE_SOURCE_DIR} PROPERTY SUBDIRECTORIES)
        if(${CMAKE_SOURCE_DIR}/${dir} IN_LIST added)
          orvella_targets_below(${CMAKE_SOURCE_DIR}/${dir} below)
          list(APPEND test_targets ${below})
        endif()
      endif()
    endforeach()
    foreach(target IN LISTS test_targets)
      get_target_property(type ${target} TYPE)
      if(type STREQUAL "EXECUTABLE")
        target_link_options(${target} PRIVATE -fuse-ld=${orvella_test_linker})
      endif()
    endforeach()
  endif()

  if(NOT ORVELLA_PCH)
    return()
  endif()
  # The host of the precompiled header: an object library with no code of its
  # own, compiled with the project's flags like every other target.
  set(pch_source ${CMAKE_BINARY_DIR}/orvella_pch.cpp)
  file(CONFIGURE OUTPUT ${pch_source}
       CONTENT "// Compiles the precompiled header (cmake/BuildSpeed.cmake).\n")
  add_library(orvella_pch OBJECT ${pch_source})
  target_link_libraries(orvella_pch PRIVATE Qt6::Widgets)
  set_target_properties(orvella_pch PROPERTIES AUTOMOC OFF)
  # The headers most sources include; the whole of Qt Widgets would take
  # longer to load into each source than it saves. No Qt Test header: those
  # depend on macros that differ between the test folders.
  target_precompile_headers(orvella_pch PRIVATE
    <QApplication> <QLabel> <QLineEdit> <QLocale> <QMessageBox> <QPushButton> <QString>
    <QTimer> <QWidget>
    <algorithm> <cmath> <functional> <memory> <optional> <string> <vector>)

  orvella_targets_below(${CMAKE_SOURCE_DIR} targets)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(target STREQUAL "orvella_pch"
       OR NOT type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
      continue()
    endif()
    orvella_uses_widgets(${target} widgets)
    if(widgets)
      target_precompile_headers(${target} REUSE_FROM orvella_pch)
      # The file of moc output that AUTOMOC adds to every target is empty in
      # most of them (the tests include their "tst_x.moc"): loading the
      # precompiled header would cost more than compiling the few that are not.
      get_target_property(binary_dir ${target} BINARY_DIR)
      set_source_files_properties(${binary_dir}/${target}_autogen/mocs_compilation.cpp
        TARGET_DIRECTORY ${target} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
    endif()
  endforeach()
endfunction()
