# Installation into the standard places of a Linux desktop, and the Debian
# package built from it by CPack (`make package`).
#
#   bin/orvella
#   share/applications/orvella.desktop
#   share/metainfo/de.orvella.Orvella.metainfo.xml
#   share/icons/hicolor/scalable/apps/orvella.svg
#   share/icons/hicolor/<n>x<n>/apps/orvella.png   (when rsvg-convert is there)

include(GNUInstallDirs)

set(ORVELLA_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})
set(ORVELLA_DESKTOP_FILE ${ORVELLA_PACKAGING_DIR}/orvella.desktop)
set(ORVELLA_METAINFO_FILE ${ORVELLA_PACKAGING_DIR}/de.orvella.Orvella.metainfo.xml)
set(ORVELLA_ICON_SVG ${PROJECT_SOURCE_DIR}/frame/orvella.svg)

install(TARGETS orvella RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${ORVELLA_DESKTOP_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${ORVELLA_METAINFO_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${ORVELLA_ICON_SVG}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME orvella.svg)

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

# --- Debian package ---------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvella)
set(CPACK_PACKAGE_VENDOR "Orvella-Team")
set(CPACK_PACKAGE_CONTACT "Orvella-Team <team@orvella.de>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Bauphysik-Rechner für Schall, Raumakustik und Feuchte")
set(CPACK_PACKAGE_DESCRIPTION
    "Fünf Rechner für Ingenieure: dB Calculator, Schallleistung - Schalldruck, Kritische Feuchte, Kritische Temperatur und Großraumbüro DL2 Prognose.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.orvella.de/")
# The libraries come from the binary (dpkg-shlibdeps); the font that stands in
# for the designs' "MS Sans Serif" and the plugin that draws the SVG icon are
# loaded at run time and so are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, libqt6svg6")
# Qt's own texts (message box buttons) in the user's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
include(CPack)
