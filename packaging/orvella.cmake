# SPDX-License-Identifier: GPL-3.0-or-later
# Installation into the standard places of a Linux desktop, and the Debian
# package built from it by CPack (`make package`): the program and its
# companion plugins, the desktop entry, the AppStream metainfo, the icons, the
# manual page in English and German, the copyright file and the changelog.
#
# One version: project(VERSION) names it. packaging/changelog must have its
# newest entry for that version (configuring stops otherwise); the date of
# that entry is the release date that the metainfo and the manual page show.

include(GNUInstallDirs)

set(ORVELLA_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})
set(ORVELLA_GENERATED_DIR ${CMAKE_BINARY_DIR}/packaging)
set(ORVELLA_DESKTOP_FILE ${ORVELLA_PACKAGING_DIR}/orvella.desktop)
set(ORVELLA_METAINFO_FILE ${ORVELLA_GENERATED_DIR}/de.orvella.Orvella.metainfo.xml)
set(ORVELLA_ICON_SVG ${PROJECT_SOURCE_DIR}/frame/orvella.svg)
set(ORVELLA_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/orvella)

# --- The releases, from the changelog ----------------------------------------
# Each entry starts "orvella (VERSION) DIST; urgency=..." and ends with the
# trailer " -- NAME <MAIL>  Tue, 08 Dec 2026 14:00:00 +0000".
set(ORVELLA_CHANGELOG ${ORVELLA_PACKAGING_DIR}/changelog)
file(STRINGS ${ORVELLA_CHANGELOG} changelog_lines REGEX "^(orvella \\(| -- )")
set(ORVELLA_RELEASE_DATE "")
set(ORVELLA_METAINFO_RELEASES "")
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
set(entry_version "")
foreach(line IN LISTS changelog_lines)
  if(line MATCHES "^orvella \\(([^)]+)\\)")
    set(entry_version ${CMAKE_MATCH_1})
  elseif(entry_version AND line MATCHES ", ([0-9]+) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
    list(FIND months ${CMAKE_MATCH_2} month)
    math(EXPR month "${month} + 1")
    math(EXPR day "${CMAKE_MATCH_1}")
    if(month LESS 10)
      set(month 0${month})
    endif()
    if(day LESS 10)
      set(day 0${day})
    endif()
    set(date ${CMAKE_MATCH_3}-${month}-${day})
    if(NOT ORVELLA_RELEASE_DATE)
      if(NOT entry_version STREQUAL PROJECT_VERSION)
        message(FATAL_ERROR "packaging/changelog: the newest entry is ${entry_version}, "
                            "the project is ${PROJECT_VERSION}: add an entry for this release.")
      endif()
      set(ORVELLA_RELEASE_DATE ${date})
    endif()
    string(APPEND ORVELLA_METAINFO_RELEASES
           "    <release version=\"${entry_version}\" date=\"${date}\"/>\n")
    set(entry_version "")
  endif()
endforeach()
if(NOT ORVELLA_RELEASE_DATE)
  message(FATAL_ERROR "packaging/changelog: no complete entry found")
endif()
string(STRIP "${ORVELLA_METAINFO_RELEASES}" ORVELLA_METAINFO_RELEASES)
set(ORVELLA_METAINFO_RELEASES "    ${ORVELLA_METAINFO_RELEASES}")

# --- Files generated from the sources ----------------------------------------
configure_file(${ORVELLA_PACKAGING_DIR}/de.orvella.Orvella.metainfo.xml.in
               ${ORVELLA_METAINFO_FILE} @ONLY)
configure_file(${ORVELLA_PACKAGING_DIR}/man/orvella.1.in
               ${ORVELLA_GENERATED_DIR}/man/man1/orvella.1 @ONLY)
configure_file(${ORVELLA_PACKAGING_DIR}/man/orvella.de.1.in
               ${ORVELLA_GENERATED_DIR}/man/de/man1/orvella.1 @ONLY)
configure_file(${ORVELLA_CHANGELOG} ${ORVELLA_GENERATED_DIR}/changelog COPYONLY)

# Compressed as Debian wants them: gzip -9, without a name or time stamp, so
# the same sources give the same bytes.
find_program(ORVELLA_GZIP gzip REQUIRED)
set(gzipped "")
foreach(file IN ITEMS man/man1/orvella.1 man/de/man1/orvella.1 changelog)
  set(in ${ORVELLA_GENERATED_DIR}/${file})
  add_custom_command(OUTPUT ${in}.gz
    COMMAND ${ORVELLA_GZIP} -9nkf ${in}
    DEPENDS ${in}
    COMMENT "Compressing ${file}"
    VERBATIM)
  list(APPEND gzipped ${in}.gz)
endforeach()
add_custom_target(orvella_docs ALL DEPENDS ${gzipped})

# --- Installation ------------------------------------------------------------
install(TARGETS orvella RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${ORVELLA_DESKTOP_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${ORVELLA_METAINFO_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${ORVELLA_ICON_SVG}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME orvella.svg)
install(FILES ${ORVELLA_GENERATED_DIR}/man/man1/orvella.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${ORVELLA_GENERATED_DIR}/man/de/man1/orvella.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/de/man1)
install(FILES ${ORVELLA_PACKAGING_DIR}/copyright ${ORVELLA_GENERATED_DIR}/changelog.gz
        DESTINATION ${ORVELLA_DOC_DIR})

# Bitmap icons for the menus and docks that do not scale SVG themselves,
# rendered from the same drawing at build time.
set(ORVELLA_ICON_SIZES 16 24 32 48 64 128 256)
find_program(ORVELLA_RSVG_CONVERT rsvg-convert)
set(ORVELLA_ICON_PNG_SIZES "")
if(ORVELLA_RSVG_CONVERT)
  set(pngs "")
  foreach(size IN LISTS ORVELLA_ICON_SIZES)
    set(png ${CMAKE_BINARY_DIR}/icons/${size}x${size}/orvella.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
      COMMAND ${ORVELLA_RSVG_CONVERT} --width=${size} --height=${size} --format=png
              --output=${png} ${ORVELLA_ICON_SVG}
      DEPENDS ${ORVELLA_ICON_SVG}
      COMMENT "Rendering the ${size}x${size} icon"
      VERBATIM)
    list(APPEND pngs ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
  add_custom_target(orvella_icons ALL DEPENDS ${pngs})
  set(ORVELLA_ICON_PNG_SIZES ${ORVELLA_ICON_SIZES})
else()
  message(STATUS "rsvg-convert not found: only the scalable icon is installed")
endif()

# --- Debian package ----------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvella)
set(CPACK_PACKAGE_VENDOR "Orvella-Team")
set(CPACK_PACKAGE_CONTACT "Orvella-Team <team@orvella.de>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "building physics calculators for sound, room acoustics and moisture")
# The extended description, in English as Debian's descriptions are; CPack
# puts the summary above it. Lines of at most 80 characters; a line that starts
# with a blank is shown as it stands. No semicolons: they would split the list.
set(description_lines
  "Orvella is a small desktop toolbox for engineers in building physics, with"
  "a German user interface. Its main menu opens five calculators:"
  " - dB Calculator: adds sound levels energetically and multiplies a level"
  "   by a number of equal sources,"
  " - Schallleistung - Schalldruck: converts a sound power level into the"
  "   sound pressure level at a distance, and back,"
  " - Kritische Feuchte Calculator: the room humidities at which a surface"
  "   reaches condensation, mould growth and corrosion,"
  " - KritischeTemperatur Calculator: dew point and mould limit of a surface"
  "   from the outdoor temperature,"
  " - Großraumbüro DL2 Prognose: speech level decrease per doubling of"
  "   distance (DL2) and speech levels in an open-plan office."
  "Every calculator explains itself with the worked calculation of the"
  "numbers on screen (printable, PDF), and the four formula calculators have a"
  "parameter study with a table and a chart.")
list(JOIN description_lines "\n" CPACK_DEBIAN_PACKAGE_DESCRIPTION)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Stripped as Debian strips: packaging/strip.cmake instead of CPACK_STRIP_FILES.
set(CPACK_ORVELLA_STRIP ${CMAKE_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${ORVELLA_PACKAGING_DIR}/strip.cmake)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Debian's section for engineering and scientific programs.
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.orvella.de/")
# The libraries come from dpkg-shlibdeps, which CPack runs over every
# dynamically linked ELF file of the package: the program and the three
# plugins (the help with Qt PrintSupport, the study with Qt Charts and Qt
# Svg, the history with Qt SQL). The font that stands in for the designs'
# "MS Sans Serif", the Qt plugin that draws the SVG icon and Qt SQL's SQLite
# driver are loaded at run time and so are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, libqt6svg6, libqt6sql6-sqlite")
# Qt's own texts (message box buttons) in the user's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
include(CPack)
