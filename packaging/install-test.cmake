# SPDX-License-Identifier: GPL-3.0-or-later
cmake_minimum_required(VERSION 3.25)
# Installs the build into a scratch prefix and checks the installed tree: the
# layout, every program's --help and --version (without a display), and
# korvel-find run from folders without base.diz, where it must load the
# per-user dictionaries when they exist and otherwise the installed set of the
# remembered language, or of the locale's. Given cpack, dpkg-deb,
# dpkg-parsechangelog and lintian, it then makes the Debian package and fails
# on any error or warning of lintian's.
#
# cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DWORK=... -DVERSION=... -DPROGRAMS=a,b
#       -DAPP_ID=... -DICON_SIZES=16,32 [-DUPDATE_MIME_DATABASE=...]
#       [-DCPACK=... -DDPKG_DEB=... -DDPKG_PARSECHANGELOG=... -DLINTIAN=...]
#       -P install-test.cmake

string(REPLACE "," ";" PROGRAMS "${PROGRAMS}")
string(REPLACE "," ";" ICON_SIZES "${ICON_SIZES}")
set(prefix ${WORK}/prefix)

# Fails unless the last command ended with status 0.
macro(expect_success what)
  if(NOT run_status EQUAL 0)
    message(FATAL_ERROR "${what} failed (${run_status}):\n${run_out}\n${run_err}")
  endif()
endmacro()

# Fails unless the last command printed exactly text on standard output.
macro(expect_output text what)
  if(NOT run_out STREQUAL "${text}")
    message(FATAL_ERROR "${what}: got\n${run_out}\n${run_err}")
  endif()
endmacro()

# Fails unless the last command's standard output holds text.
macro(expect_in_output text what)
  string(FIND "${run_out}" "${text}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${what}: got\n${run_out}\n${run_err}")
  endif()
endmacro()

# Runs a command in a folder with a clean desktop environment and the C
# locale (NAME=VALUE words before the command override them); the results
# land in run_status, run_out and run_err.
macro(run folder)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
            --unset=LC_ALL --unset=LC_MESSAGES LANG=C
            XDG_DATA_HOME=${WORK}/xdg XDG_CONFIG_HOME=${WORK}/config ${ARGN}
    WORKING_DIRECTORY ${folder}
    RESULT_VARIABLE run_status
    OUTPUT_VARIABLE run_out
    ERROR_VARIABLE run_err)
endmacro()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/elsewhere ${WORK}/xdg)

execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
  RESULT_VARIABLE run_status OUTPUT_VARIABLE run_out ERROR_VARIABLE run_err)
expect_success("cmake --install")

# ---------------------------------------------------------------- layout

set(expected
  lib/korvel/libkorvdll.so
  share/korvel/dictionaries/it/base.diz
  share/korvel/dictionaries/it/base.scores
  share/korvel/dictionaries/it/base.kinds
  share/korvel/dictionaries/it/base.bans
  share/korvel/dictionaries/en/base.diz
  share/korvel/dictionaries/en/base.scores
  share/korvel/dictionaries/en/base.kinds
  share/korvel/dictionaries/en/base.bans
  share/korvel/dictionaries/en/phrases.dic
  share/korvel/dictionaries/it/definitions.db
  share/korvel/dictionaries/en/definitions.db
  share/korvel/help/voduzeze/KORVELH8.HTM
  share/doc/korvel/copyright
  share/doc/korvel/changelog.gz
  share/applications/${APP_ID}.desktop
  share/metainfo/${APP_ID}.metainfo.xml
  share/mime/packages/${APP_ID}.xml
  share/icons/hicolor/scalable/apps/${APP_ID}.svg)
foreach(size IN LISTS ICON_SIZES)
  list(APPEND expected share/icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
endforeach()
foreach(p IN LISTS PROGRAMS)
  list(APPEND expected lib/korvel/${p} bin/${p} share/man/man1/${p}.1.gz)
endforeach()
foreach(f IN LISTS expected)
  if(NOT EXISTS ${prefix}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
foreach(p IN LISTS PROGRAMS)
  if(NOT IS_SYMLINK ${prefix}/bin/${p})
    message(FATAL_ERROR "bin/${p} is not a link")
  endif()
  file(READ_SYMLINK ${prefix}/bin/${p} target)
  if(IS_ABSOLUTE "${target}")
    message(FATAL_ERROR "bin/${p} links to an absolute path: ${target}")
  endif()
endforeach()

# ---------------------------------------------------------------- --help, --version

foreach(p IN LISTS PROGRAMS)
  run(${WORK}/elsewhere ${prefix}/bin/${p} --version)
  expect_success("${p} --version")
  expect_in_output("${VERSION}" "${p} --version does not say ${VERSION}")
  run(${WORK}/elsewhere ${prefix}/bin/${p} --help)
  expect_success("${p} --help")
  string(TOLOWER "${run_out}" run_out)
  expect_in_output("usage" "${p} --help shows no usage")
endforeach()

# ---------------------------------------------------------------- dictionaries folder

if("korvel-find" IN_LIST PROGRAMS)
  # No base.diz here and no per-user folder: the installed dictionaries.
  run(${WORK}/elsewhere ${prefix}/bin/korvel-find pattern C?S?)
  expect_success("installed korvel-find")
  if(run_out STREQUAL "")
    message(FATAL_ERROR "installed korvel-find found nothing for C?S?:\n${run_err}")
  endif()
  set(installed_out "${run_out}")

  # A per-user folder with its own base.diz wins over the installed one.
  set(user ${WORK}/xdg/korvel/dictionaries)
  file(MAKE_DIRECTORY ${user})
  file(WRITE ${WORK}/words.txt "CASA\nCOSI\nCOSTA\n")
  run(${WORK} ${prefix}/bin/korvel-mkdiz --sort -o ${user}/base.diz ${WORK}/words.txt)
  expect_success("korvel-mkdiz")
  run(${WORK}/elsewhere ${prefix}/bin/korvel-find pattern C?S?)
  expect_success("korvel-find on the per-user folder")
  expect_output("CASA -1\nCOSI -1\n" "per-user dictionaries not used")

  # The current folder, when it holds base.diz, wins over both.
  file(MAKE_DIRECTORY ${WORK}/here)
  file(WRITE ${WORK}/here-words.txt "CESO\n")
  run(${WORK} ${prefix}/bin/korvel-mkdiz -o ${WORK}/here/base.diz ${WORK}/here-words.txt)
  expect_success("korvel-mkdiz")
  run(${WORK}/here ${prefix}/bin/korvel-find pattern C?S?)
  expect_output("CESO -1\n" "the current folder's base.diz not used")

  # A per-user folder without base.diz is passed over.
  file(REMOVE ${user}/base.diz)
  run(${WORK}/elsewhere ${prefix}/bin/korvel-find pattern C?S?)
  if(NOT run_out STREQUAL installed_out)
    message(FATAL_ERROR "a per-user folder without base.diz was not passed over:\n${run_out}")
  endif()

  # Which installed set: the locale's language until one is remembered.
  set(sets ${prefix}/share/korvel/dictionaries)
  run(${WORK}/elsewhere ${prefix}/bin/korvel-find --dir ${sets}/it pattern C?S?)
  set(italian_out "${run_out}")
  run(${WORK}/elsewhere ${prefix}/bin/korvel-find --dir ${sets}/en pattern C?S?)
  set(english_out "${run_out}")
  if(italian_out STREQUAL english_out OR italian_out STREQUAL "")
    message(FATAL_ERROR "the two installed sets give the same results:\n${italian_out}")
  endif()
  if(NOT installed_out STREQUAL english_out)
    message(FATAL_ERROR "the C locale did not load the English set:\n${installed_out}")
  endif()
  run(${WORK}/elsewhere LANG=it_IT.UTF-8 ${prefix}/bin/korvel-find pattern C?S?)
  expect_output("${italian_out}" "an Italian locale did not load the Italian set")
  run(${WORK}/elsewhere LANG=C LC_ALL=it_IT.UTF-8 ${prefix}/bin/korvel-find pattern C?S?)
  expect_output("${italian_out}" "LC_ALL did not decide")

  # The remembered language wins over the locale.
  file(MAKE_DIRECTORY ${WORK}/config/korvel)
  file(WRITE ${WORK}/config/korvel/language "it\n")
  run(${WORK}/elsewhere ${prefix}/bin/korvel-find pattern C?S?)
  expect_output("${italian_out}" "the remembered Italian was not used")
  file(WRITE ${WORK}/config/korvel/language "en\n")
  run(${WORK}/elsewhere LANG=it_IT.UTF-8 ${prefix}/bin/korvel-find pattern C?S?)
  expect_output("${english_out}" "the remembered English was not used")

  # The per-user subfolder of the language comes before the installed set.
  file(MAKE_DIRECTORY ${user}/en)
  run(${WORK} ${prefix}/bin/korvel-mkdiz --sort -o ${user}/en/base.diz ${WORK}/words.txt)
  expect_success("korvel-mkdiz")
  run(${WORK}/elsewhere ${prefix}/bin/korvel-find pattern C?S?)
  expect_output("CASA -1\nCOSI -1\n" "the per-user subfolder of the language not used")
  file(WRITE ${WORK}/config/korvel/language "it\n")
  run(${WORK}/elsewhere ${prefix}/bin/korvel-find pattern C?S?)
  expect_output("${italian_out}" "the per-user subfolder of another language was used")
endif()

# ---------------------------------------------------------------- MIME type

if(UPDATE_MIME_DATABASE)
  run(${WORK} ${UPDATE_MIME_DATABASE} ${prefix}/share/mime)
  expect_success("update-mime-database")
  file(READ ${prefix}/share/mime/globs2 run_out)
  expect_in_output("application/x-korvel-crossword:*.kvl" "*.kvl is not registered")
endif()

# ---------------------------------------------------------------- metadata

# Every installed program is named in the metainfo, and the changelog is
# about this version.
file(READ ${prefix}/share/metainfo/${APP_ID}.metainfo.xml metainfo)
foreach(p IN LISTS PROGRAMS)
  string(FIND "${metainfo}" "<binary>${p}</binary>" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the metainfo does not provide ${p}")
  endif()
endforeach()
string(FIND "${metainfo}" "<project_license>GPL-3.0-or-later</project_license>" at)
if(at EQUAL -1)
  message(FATAL_ERROR "the metainfo names no project licence")
endif()
if(DPKG_PARSECHANGELOG)
  run(${WORK} ${DPKG_PARSECHANGELOG} -l ${SOURCE_DIR}/changelog -S Version)
  expect_success("dpkg-parsechangelog")
  expect_output("${VERSION}\n" "the changelog's last entry is not version ${VERSION}")
endif()

# ---------------------------------------------------------------- Debian package

if(CPACK AND DPKG_DEB AND LINTIAN)
  set(package ${WORK}/package)
  execute_process(
    COMMAND ${CPACK} -G DEB --config ${BUILD_DIR}/CPackConfig.cmake -B ${package}
    RESULT_VARIABLE run_status OUTPUT_VARIABLE run_out ERROR_VARIABLE run_err)
  expect_success("cpack -G DEB")
  file(GLOB debs ${package}/*.deb)
  list(LENGTH debs count)
  if(NOT count EQUAL 1)
    message(FATAL_ERROR "cpack made ${count} packages: ${debs}\n${run_out}")
  endif()

  run(${WORK} ${DPKG_DEB} --field ${debs} Description)
  expect_success("dpkg-deb --field")
  expect_in_output("plain word lists; fill whole grids; export to .ipuz"
                   "the package description lost its punctuation")

  # No maintainer script: the private library needs no ldconfig, and the
  # desktop, MIME and icon caches are refreshed by their own triggers.
  run(${WORK} ${DPKG_DEB} --control ${debs} ${WORK}/control)
  expect_success("dpkg-deb --control")
  foreach(script preinst postinst prerm postrm)
    if(EXISTS ${WORK}/control/${script})
      file(READ ${WORK}/control/${script} text)
      message(FATAL_ERROR "the package has a ${script}:\n${text}")
    endif()
  endforeach()

  # Errors and warnings fail; notes and pedantic remarks are shown only.
  run(${WORK} ${LINTIAN} --fail-on error,warning --no-tag-display-limit ${debs})
  if(NOT run_status EQUAL 0)
    message(FATAL_ERROR "lintian (${run_status}):\n${run_out}\n${run_err}")
  endif()
  message(STATUS "lintian:\n${run_out}")
endif()

file(REMOVE_RECURSE ${WORK})
