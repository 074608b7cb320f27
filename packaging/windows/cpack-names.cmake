# SPDX-License-Identifier: GPL-3.0-or-later
# Read by cpack once per generator: the installer and the zip get names of
# their own.
if(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_PACKAGE_FILE_NAME "Orvella-${CPACK_PACKAGE_VERSION}-Setup")
else()
  set(CPACK_PACKAGE_FILE_NAME "Orvella-${CPACK_PACKAGE_VERSION}-windows-x64")
endif()
