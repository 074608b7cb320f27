# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows program (cross-built with cmake/windows/mingw-w64-x86_64.cmake
# against a Qt for Windows, see scripts/windows/qt.sh): its icon, version and
# manifest resources, the folder it is installed as, and from that folder the
# NSIS installer and the portable zip (`cpack` in the build folder, run by
# `make windows`).
#
# The installed folder:
#   orvella.exe, qt.conf, the Qt and MinGW runtime DLLs it and its plugins
#   import, plugins/ (Orvella's companion plugins, loaded on first use),
#   platforms/ styles/ iconengines/ imageformats/ sqldrivers/ (Qt's plugins),
#   translations/ (Qt's own German texts).
# windeployqt does not run on Linux: the DLLs are an explicit list below, which
# the test windows_imports checks against what every file of the folder
# imports.

set(ORVELLA_WINDOWS_DIR ${CMAKE_CURRENT_LIST_DIR})
set(ORVELLA_WINDOWS_GENERATED ${CMAKE_BINARY_DIR}/packaging/windows)
set(ORVELLA_ICON_SVG ${PROJECT_SOURCE_DIR}/frame/orvella.svg)

# --- The program's resources -------------------------------------------------
# A GUI program (no console window), with the icon the Start menu, the task
# bar and the Explorer show, rendered from the program's drawing.
set_target_properties(orvella PROPERTIES WIN32_EXECUTABLE ON)
find_program(ORVELLA_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(ORVELLA_ICOTOOL icotool REQUIRED)
set(ORVELLA_ICO ${ORVELLA_WINDOWS_GENERATED}/orvella.ico)
set(pngs "")
foreach(size IN ITEMS 16 24 32 48 64 256)
  set(png ${ORVELLA_WINDOWS_GENERATED}/icon-${size}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${ORVELLA_RSVG_CONVERT} --width=${size} --height=${size} --format=png
            --output=${png} ${ORVELLA_ICON_SVG}
    DEPENDS ${ORVELLA_ICON_SVG} VERBATIM)
  list(APPEND pngs ${png})
endforeach()
# The 256-pixel image stored as PNG inside the icon file, as Windows expects.
list(POP_BACK pngs large)
add_custom_command(OUTPUT ${ORVELLA_ICO}
  COMMAND ${ORVELLA_ICOTOOL} -c -o ${ORVELLA_ICO} ${pngs} -r ${large}
  DEPENDS ${pngs} ${large}
  COMMENT "Making the Windows icon" VERBATIM)
add_custom_target(orvella_windows_icon DEPENDS ${ORVELLA_ICO})
add_dependencies(orvella orvella_windows_icon)
string(REPLACE "." "," ORVELLA_VERSION_COMMAS "${PROJECT_VERSION}.0")
configure_file(${ORVELLA_WINDOWS_DIR}/orvella.rc.in ${ORVELLA_WINDOWS_GENERATED}/orvella.rc @ONLY)
configure_file(${ORVELLA_WINDOWS_DIR}/orvella.manifest.in
               ${ORVELLA_WINDOWS_GENERATED}/orvella.manifest @ONLY)
set_source_files_properties(${ORVELLA_WINDOWS_GENERATED}/orvella.rc PROPERTIES
  OBJECT_DEPENDS "${ORVELLA_ICO};${ORVELLA_WINDOWS_GENERATED}/orvella.manifest")
target_sources(orvella PRIVATE ${ORVELLA_WINDOWS_GENERATED}/orvella.rc)

# --- What is deployed beside the program -------------------------------------
# Qt's DLLs that the program and its plugins import (Charts imports Qt OpenGL
# and OpenGL Widgets), the plugins Qt loads at run time, the MinGW runtime
# (C++ library, unwinder, threads, the stack protector's checks).
set(qt ${QT6_INSTALL_PREFIX})
set(ORVELLA_QT_DLLS Core Gui Widgets Sql PrintSupport Svg Charts OpenGL OpenGLWidgets)
set(ORVELLA_QT_PLUGINS
  platforms/qwindows          # the Windows platform
  styles/qwindowsvistastyle   # the native look
  iconengines/qsvgicon        # the program's SVG icon
  imageformats/qsvg
  sqldrivers/qsqlite)         # the Verlauf
set(ORVELLA_MINGW_DLLS libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll libssp-0.dll)

foreach(name IN LISTS ORVELLA_QT_DLLS)
  install(FILES ${qt}/${QT6_INSTALL_BINS}/Qt6${name}.dll DESTINATION .)
endforeach()
foreach(plugin IN LISTS ORVELLA_QT_PLUGINS)
  get_filename_component(folder ${plugin} DIRECTORY)
  install(FILES ${qt}/${QT6_INSTALL_PLUGINS}/${plugin}.dll DESTINATION ${folder})
endforeach()
foreach(dll IN LISTS ORVELLA_MINGW_DLLS)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
    message(FATAL_ERROR "${dll} not found beside ${CMAKE_CXX_COMPILER}")
  endif()
  install(FILES ${path} DESTINATION .)
endforeach()
# Qt's own German texts (the buttons of message boxes and file dialogs): the
# catalogue is the same file on every system, Debian's qt6-translations-l10n.
set(ORVELLA_QT_QM /usr/share/qt6/translations/qtbase_de.qm)
if(NOT EXISTS ${ORVELLA_QT_QM})
  message(FATAL_ERROR "${ORVELLA_QT_QM} missing: install qt6-translations-l10n")
endif()
install(FILES ${ORVELLA_QT_QM} DESTINATION translations)
# Qt finds its plugins and texts relative to the program's folder.
install(FILES ${ORVELLA_WINDOWS_DIR}/qt.conf DESTINATION .)
install(TARGETS orvella RUNTIME DESTINATION .)

# --- Installer and zip -------------------------------------------------------
# Line ends as Windows' text controls want them for the licence page.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
string(REGEX REPLACE "\r?\n" "\r\n" licence "${licence}")
file(WRITE ${ORVELLA_WINDOWS_GENERATED}/LICENSE.txt "${licence}")

set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_PACKAGE_NAME Orvella)
set(CPACK_PACKAGE_VENDOR "Orvella-Team")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Bauphysik-Rechner")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Orvella)
set(CPACK_RESOURCE_FILE_LICENSE ${ORVELLA_WINDOWS_GENERATED}/LICENSE.txt)
set(CPACK_STRIP_FILES ON)
# Our own installer script (NSIS.template.in beside this file): German,
# for the user or for all users, Start-menu entry, licence page, uninstaller.
set(CPACK_MODULE_PATH ${ORVELLA_WINDOWS_DIR})
set(CPACK_NSIS_MUI_ICON ${ORVELLA_ICO})
set(CPACK_NSIS_MUI_UNIICON ${ORVELLA_ICO})
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
# Setup.exe and the portable zip take different names.
set(CPACK_PROJECT_CONFIG_FILE ${ORVELLA_WINDOWS_DIR}/cpack-names.cmake)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)
