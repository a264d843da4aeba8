# SPDX-License-Identifier: GPL-3.0-or-later
# libFuzzer targets that see the code they fuzz.
#
#   korvel_add_fuzzer(NAME SOURCES src... INSTRUMENT lib... [LIBRARIES lib...]
#                     [INCLUDES dir...] [DEFINITIONS def...])
#
# Under clang, builds the libFuzzer program NAME from SOURCES and links it
# with copies of the INSTRUMENT libraries whose every source is compiled with
# coverage (-fsanitize=fuzzer-no-link) and the sanitizers: libFuzzer is
# guided by the edges it sees, and a parser linked from the ordinary library
# would show it almost none. A copy links the copies of those of its own
# dependencies that are in INSTRUMENT too, and the ordinary libraries for the
# rest; LIBRARIES are linked as they are. Each fuzzer gets copies of its own
# (NAME_lib), built only with it. With any other compiler it does nothing: the
# corpus replay tests, built from the same target file, run under every
# compiler.
set(KORVEL_FUZZ_SANITIZERS address,undefined)

function(korvel_add_fuzzer name)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    return()
  endif()
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;INSTRUMENT;LIBRARIES;INCLUDES;DEFINITIONS")
  set(copies)
  foreach(lib IN LISTS arg_INSTRUMENT)
    set(copy ${name}_${lib})
    get_target_property(sources ${lib} SOURCES)
    get_target_property(dir ${lib} SOURCE_DIR)
    set(paths)
    foreach(source IN LISTS sources)
      if(IS_ABSOLUTE ${source})
        list(APPEND paths ${source})
      else()
        list(APPEND paths ${dir}/${source})
      endif()
    endforeach()
    add_library(${copy} STATIC EXCLUDE_FROM_ALL ${paths})
    # Fuzzing wants the build type's optimisation, not the tests' quick flags
    # (korveltests.cmake).
    set_target_properties(${copy} PROPERTIES KORVEL_TEST_DEFAULTS OFF)
    target_include_directories(${copy}
      PUBLIC $<TARGET_PROPERTY:${lib},INTERFACE_INCLUDE_DIRECTORIES>
      PRIVATE $<TARGET_PROPERTY:${lib},INCLUDE_DIRECTORIES>)
    target_compile_definitions(${copy} PRIVATE $<TARGET_PROPERTY:${lib},COMPILE_DEFINITIONS>)
    target_compile_options(${copy} PRIVATE -fsanitize=fuzzer-no-link,${KORVEL_FUZZ_SANITIZERS})
    get_target_property(deps ${lib} LINK_LIBRARIES)
    if(deps)
      foreach(dep IN LISTS deps)
        if(dep IN_LIST arg_INSTRUMENT)
          target_link_libraries(${copy} PUBLIC ${name}_${dep})
        else()
          target_link_libraries(${copy} PUBLIC ${dep})
        endif()
      endforeach()
    endif()
    list(APPEND copies ${copy})
  endforeach()
  add_executable(${name} ${arg_SOURCES})
  set_target_properties(${name} PROPERTIES KORVEL_TEST_DEFAULTS OFF)
  target_compile_definitions(${name} PRIVATE KORVEL_LIBFUZZER ${arg_DEFINITIONS})
  target_include_directories(${name} PRIVATE ${arg_INCLUDES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,${KORVEL_FUZZ_SANITIZERS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,${KORVEL_FUZZ_SANITIZERS})
  target_link_libraries(${name} PRIVATE ${copies} ${arg_LIBRARIES})
endfunction()
