# Helpers that every test folder uses, so each tier is declared the same way.
#
#   vigilo_native_test(name SOURCES ... [LIBS ...])          host build, GoogleTest, sanitizers
#   vigilo_win_test(name SOURCES ... [LIBS ...] [LOCKS ...] [ARGS ...])
#                                                            cross build, run under Wine by ctest
#   vigilo_fuzz_target(name SOURCES ... [LIBS ...] [SMOKE_SECONDS n])
#
# Win tests that create or write the monitor's mailslot, or start vigilo.exe, take the lock
# "mailslot": one wineserver has one mailslot of that name and one "VIGILO WINDOW" class.

function(vigilo_native_test name)
  if(WIN32)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  find_package(GTest REQUIRED)
  include(GoogleTest)
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
endfunction()

# GoogleTest for the Windows trees: built from Debian's sources for the cross build; a native
# Windows build takes an installed GoogleTest. Without either the configure fails: a tree that
# quietly built no Win32 tests would pass a test run that never tried them.
set(VIGILO_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources for the Windows trees")
function(_vigilo_windows_gtest out)
  get_property(libs GLOBAL PROPERTY VIGILO_WINDOWS_GTEST)
  if(NOT libs)
    if(EXISTS ${VIGILO_GTEST_SOURCE_DIR}/CMakeLists.txt)
      set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
      set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
      set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
      add_subdirectory(${VIGILO_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
      set(libs gtest gtest_main)
    else()
      find_package(GTest QUIET)
      if(NOT GTest_FOUND)
        message(FATAL_ERROR "GoogleTest not found (no ${VIGILO_GTEST_SOURCE_DIR}/CMakeLists.txt, no installed "
                            "package): the Win32 tests cannot be built. scripts/bootstrap installs Debian's "
                            "googletest; VIGILO_GTEST_SOURCE_DIR names other sources.")
      endif()
      set(libs GTest::gtest GTest::gtest_main)
    endif()
    set_property(GLOBAL PROPERTY VIGILO_WINDOWS_GTEST "${libs}")
  endif()
  set(${out} "${libs}" PARENT_SCOPE)
endfunction()

function(vigilo_win_test name)
  if(NOT WIN32)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LOCKS;ARGS" ${ARGN})
  _vigilo_windows_gtest(gtest_libs)
  if(NOT TARGET GTest::gtest AND gtest_libs MATCHES "GTest::")
    find_package(GTest QUIET)  # imported targets are visible only where they were found
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} ${gtest_libs})
  # One ctest entry per program: every Wine process start costs time.
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no ${ARG_ARGS})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
  if(ARG_LOCKS)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${ARG_LOCKS}")
  endif()
endfunction()

function(vigilo_fuzz_target name)
  if(WIN32 OR NOT VIGILO_FUZZ OR NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    return()
  endif()
  cmake_parse_arguments(ARG "" "SMOKE_SECONDS" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_SMOKE_SECONDS)
    set(ARG_SMOKE_SECONDS 5)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  # A short smoke run in the test suite; longer runs: scripts/fuzz.
  add_test(NAME ${name}_smoke COMMAND ${name} -max_total_time=${ARG_SMOKE_SECONDS} -rss_limit_mb=2048)
endfunction()
