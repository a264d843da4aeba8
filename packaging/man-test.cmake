# SPDX-License-Identifier: GPL-3.0-or-later
cmake_minimum_required(VERSION 3.25)
# Formats each manual page with groff and fails on any warning.
# cmake -DGROFF=... -DPAGES=a.1,b.1 -P man-test.cmake
string(REPLACE "," ";" PAGES "${PAGES}")
foreach(page IN LISTS PAGES)
  execute_process(COMMAND ${GROFF} -man -Tutf8 -ww -z ${page}
    RESULT_VARIABLE status ERROR_VARIABLE err)
  if(NOT status EQUAL 0 OR NOT err STREQUAL "")
    message(FATAL_ERROR "${page}:\n${err}")
  endif()
endforeach()
