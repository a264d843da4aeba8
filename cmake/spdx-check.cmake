# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a source, build or script file of the tree does not name its
# licence in an SPDX line among its first three lines, so that a file added
# later cannot go without one. Run as cmake -DROOT=<source dir> -P this file.
file(GLOB_RECURSE candidates RELATIVE ${ROOT}
  ${ROOT}/src/* ${ROOT}/tools/* ${ROOT}/tests/* ${ROOT}/bench/* ${ROOT}/scripts/*
  ${ROOT}/cmake/* ${ROOT}/packaging/*.cmake ${ROOT}/dictionaries/* ${ROOT}/CMakeLists.txt)
set(missing "")
foreach(file IN LISTS candidates)
  if(file MATCHES "\\.(cpp|h|cmake)$" OR file MATCHES "(^|/)CMakeLists\\.txt$")
    set(check TRUE)
  elseif(file MATCHES "^(scripts|bench)/" OR file MATCHES "^tests/.*-test$")
    # Scripts: the ones that start with #!.
    file(READ ${ROOT}/${file} head LIMIT 2)
    if(head MATCHES "^#!")
      set(check TRUE)
    else()
      set(check FALSE)
    endif()
  else()
    set(check FALSE)
  endif()
  if(check)
    file(STRINGS ${ROOT}/${file} first LIMIT_COUNT 3)
    if(NOT first MATCHES "SPDX-License-Identifier: GPL-3.0-or-later")
      list(APPEND missing ${file})
    endif()
  endif()
endforeach()
if(missing)
  list(JOIN missing "\n  " shown)
  message(FATAL_ERROR "no SPDX-License-Identifier line at the top of:\n  ${shown}")
endif()
