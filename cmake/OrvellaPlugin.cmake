# SPDX-License-Identifier: GPL-3.0-or-later
# orvella_add_plugin(NAME SOURCES src... LIBS lib...): a companion plugin
# that the program loads the first time the user asks for it. Built into the
# build tree's plugin folder, where the program and the tests look first, and
# installed into ORVELLA_PLUGIN_RELDIR, where the installed program looks.
# The file is named NAME without a "lib" prefix on every platform.
function(orvella_add_plugin name)
  cmake_parse_arguments(P "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} MODULE ${P_SOURCES})
  target_link_libraries(${name} PRIVATE ${P_LIBS})
  set_target_properties(${name} PROPERTIES PREFIX "" LIBRARY_OUTPUT_DIRECTORY ${ORVELLA_PLUGIN_BUILD_DIR})
  install(TARGETS ${name} LIBRARY DESTINATION ${ORVELLA_PLUGIN_RELDIR})
endfunction()
