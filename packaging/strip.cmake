# SPDX-License-Identifier: GPL-3.0-or-later
# Run by CPack over the files of the package before it builds it: the ELF
# files (the program and its plugins) stripped as Debian's dh_strip does,
# symbols and debugging information, and the compiler's .comment and .note
# sections, which a plain strip keeps.
file(GLOB_RECURSE files LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*")
foreach(file IN LISTS files)
  file(READ "${file}" magic LIMIT 4 HEX)
  if(magic STREQUAL "7f454c46")
    execute_process(
      COMMAND "${CPACK_ORVELLA_STRIP}" --remove-section=.comment --remove-section=.note
              --strip-unneeded "${file}"
      RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "strip ${file} failed")
    endif()
  endif()
endforeach()
