# SPDX-License-Identifier: GPL-3.0-or-later
# Run by cpack after it has made the packages (CPACK_POST_BUILD_SCRIPTS).
# CPack takes a shared library in a folder right below /usr/lib for one of
# the system's library folders and gives the package postinst and postrm
# scripts that only run ldconfig. libkorvdll.so in /usr/lib/korvel is private
# (only ever loaded from the program's own folder), so those scripts are taken
# out and the package is put together again. A script that does anything else
# stops the build instead of being dropped.
find_program(DPKG_DEB dpkg-deb REQUIRED)
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  if(NOT deb MATCHES "\\.deb$")
    continue()
  endif()
  set(tree ${deb}.tree)
  file(REMOVE_RECURSE ${tree})
  execute_process(COMMAND ${DPKG_DEB} --raw-extract ${deb} ${tree}
    RESULT_VARIABLE status ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "dpkg-deb --raw-extract ${deb} failed:\n${err}")
  endif()
  set(dropped FALSE)
  foreach(script postinst postrm)
    set(path ${tree}/DEBIAN/${script})
    if(NOT EXISTS ${path})
      continue()
    endif()
    file(STRINGS ${path} lines)
    foreach(line IN LISTS lines)
      string(STRIP "${line}" line)
      if(NOT line MATCHES "^(#!/bin/sh|set -e|if \\[ \"\\$1\" = \"(configure|remove)\" \\]; then|ldconfig|fi|)$")
        message(FATAL_ERROR "${script} of ${deb} does more than run ldconfig: ${line}")
      endif()
    endforeach()
    file(REMOVE ${path})
    set(dropped TRUE)
  endforeach()
  if(dropped)
    execute_process(COMMAND ${DPKG_DEB} --root-owner-group --build ${tree} ${deb}
      RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "dpkg-deb --build ${deb} failed:\n${out}\n${err}")
    endif()
  endif()
  file(REMOVE_RECURSE ${tree})
endforeach()
