# SPDX-License-Identifier: GPL-3.0-or-later
# What keeps the first build of the tests short on a small machine. The
# top-level CMakeLists.txt calls korvel_test_defaults(DIR) after it adds each
# tests/<area> folder, so every target made there gets it, a new one too,
# without a line in its own CMakeLists.txt:
#
# - The test code is compiled at -Og with line tables only (-g1): a test file
#   at -O2 -g took three times as long, while the tests spend their time in
#   the libraries they link, which keep the build type's flags (the program
#   is built as it always was).
# - One precompiled header for every GoogleTest program (GoogleTest and the
#   standard headers the tests use) and one for every QtTest program (the Qt
#   headers the window tests use and QtTest), each built once, by
#   korvel_test_pch_gtest and korvel_test_pch_qt, and reused by every target
#   (PRECOMPILE_HEADERS_REUSE_FROM). A precompiled header is only taken when
#   the flags that shape it are the same, so the two are compiled with the
#   tests' own flags; -Winvalid-pch warns when one is passed over.
# - The tests link with lld when the compiler can use it (scripts/setup
#   installs it), which is several times quicker than ld on the large
#   static libraries with their debug information; the programs keep the
#   default linker.
#
# A target that wants none of it (the libFuzzer programs, which need their
# optimisation) sets the property KORVEL_TEST_DEFAULTS to OFF; one that wants
# its own precompiled header sets PRECOMPILE_HEADERS itself and keeps it.

include_guard(GLOBAL)
include(CheckLinkerFlag)

set(KORVEL_TEST_COMPILE_OPTIONS -Og -g1)
check_linker_flag(CXX -fuse-ld=lld KORVEL_HAVE_LLD)

# The donors of the precompiled headers: object libraries built from an empty
# file with the tests' flags; nothing links them.
find_package(GTest QUIET)
if(GTest_FOUND)
  add_library(korvel_test_pch_gtest OBJECT ${CMAKE_CURRENT_LIST_DIR}/testpch.cpp)
  target_link_libraries(korvel_test_pch_gtest PRIVATE GTest::gtest)
  target_compile_options(korvel_test_pch_gtest PRIVATE ${KORVEL_TEST_COMPILE_OPTIONS})
  target_precompile_headers(korvel_test_pch_gtest PRIVATE
    <gtest/gtest.h> <algorithm> <cstdint> <cstdlib> <filesystem> <fstream> <functional>
    <map> <memory> <random> <set> <string> <string_view> <vector>)
endif()

if(KORVEL_BUILD_UI)
  find_package(Qt6 QUIET COMPONENTS Widgets Test)
endif()
if(TARGET Qt6::Test AND TARGET Qt6::Widgets)
  add_library(korvel_test_pch_qt OBJECT ${CMAKE_CURRENT_LIST_DIR}/testpch.cpp)
  target_link_libraries(korvel_test_pch_qt PRIVATE Qt6::Widgets Qt6::Test)
  # QtTest's headers test QT_TESTCASE_BUILDDIR and QT_TESTCASE_SOURCEDIR,
  # which Qt6::Test sets to each target's own folders; a header precompiled
  # with one folder is refused with another. They only serve QFINDTESTDATA,
  # which no test uses (the tests name their fixtures through KORVEL_*
  # definitions), so they are taken away here and in every Qt test.
  set(KORVEL_TEST_QT_OPTIONS -UQT_TESTCASE_BUILDDIR -UQT_TESTCASE_SOURCEDIR)
  target_compile_options(korvel_test_pch_qt PRIVATE
    ${KORVEL_TEST_COMPILE_OPTIONS} ${KORVEL_TEST_QT_OPTIONS})
  target_precompile_headers(korvel_test_pch_qt PRIVATE
    <QAction> <QApplication> <QDialog> <QDir> <QFile> <QLabel> <QLineEdit> <QMenu>
    <QPushButton> <QSettings> <QString> <QTemporaryDir> <QTest> <QTimer> <QWidget>
    <functional> <memory> <string> <vector>)
endif()

# Gives every compiled target made in DIR (and its subfolders) the settings
# above; a target linking Qt6::Test reuses the Qt header, one linking
# GoogleTest the GoogleTest header.
function(korvel_test_defaults dir)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    korvel_test_defaults(${sub})
  endforeach()
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(NOT type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
      continue()
    endif()
    get_target_property(wanted ${target} KORVEL_TEST_DEFAULTS)
    if(NOT wanted AND NOT wanted STREQUAL "wanted-NOTFOUND")
      continue()
    endif()
    target_compile_options(${target} PRIVATE ${KORVEL_TEST_COMPILE_OPTIONS})
    if(KORVEL_HAVE_LLD AND NOT type STREQUAL "STATIC_LIBRARY" AND NOT type STREQUAL "OBJECT_LIBRARY")
      target_link_options(${target} PRIVATE -fuse-ld=lld)
    endif()

    get_target_property(own_pch ${target} PRECOMPILE_HEADERS)
    get_target_property(reused_pch ${target} PRECOMPILE_HEADERS_REUSE_FROM)
    if(own_pch OR reused_pch)
      continue()
    endif()
    get_target_property(libraries ${target} LINK_LIBRARIES)
    if(NOT libraries)
      set(libraries "")
    endif()
    if(TARGET korvel_test_pch_qt AND "Qt6::Test" IN_LIST libraries)
      target_compile_options(${target} PRIVATE ${KORVEL_TEST_QT_OPTIONS})
      set_target_properties(${target} PROPERTIES PRECOMPILE_HEADERS_REUSE_FROM korvel_test_pch_qt)
      # AUTOMOC's file of the target's headers is all but empty in a test
      # (each test includes its own .moc); reading the header would cost
      # more than compiling it.
      get_target_property(binary_dir ${target} BINARY_DIR)
      set_source_files_properties(${binary_dir}/${target}_autogen/mocs_compilation.cpp
        TARGET_DIRECTORY ${target} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
    elseif(TARGET korvel_test_pch_gtest AND
           libraries MATCHES "(^|;)GTest::(gtest|gtest_main|GTest|Main)(;|$)")
      set_target_properties(${target} PROPERTIES PRECOMPILE_HEADERS_REUSE_FROM korvel_test_pch_gtest)
    endif()
  endforeach()
endfunction()
