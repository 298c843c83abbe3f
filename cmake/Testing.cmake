# GoogleTest from the distribution's sources, built for whichever target this is.
if(NOT MORVANE_TESTS)
  return()
endif()
enable_testing()
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(t gtest gtest_main gmock gmock_main)
  if(TARGET ${t})
    target_compile_options(${t} PRIVATE -w)
  endif()
endforeach()
include(GoogleTest)

# morvane_test(name SOURCES ... LIBS ... [LOCK resource] [LABELS ...])
# Win32 tests are discovered when ctest runs (the Wine server is warm then).
function(morvane_test name)
  cmake_parse_arguments(T "" "LOCK;TIMEOUT;ALSO_CODEPAGE" "SOURCES;LIBS;LABELS;ENV" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gmock gtest_main)
  if(WIN32)
    target_link_options(${name} PRIVATE -mconsole)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  set(props TIMEOUT ${T_TIMEOUT})
  if(T_LOCK)
    list(APPEND props RESOURCE_LOCK ${T_LOCK})
  endif()
  if(T_LABELS)
    list(APPEND props LABELS "${T_LABELS}")
  endif()
  if(T_ENV)
    list(APPEND props ENVIRONMENT "${T_ENV}")
  endif()
  # Listing a test program's tests starts it under Wine, which takes minutes
  # where Wine runs through an emulator; a listing that times out would stop
  # the whole ctest run.
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 900
    PROPERTIES ${props})
  # The same tests once more under another ANSI code page (Windows build only).
  if(WIN32 AND T_ALSO_CODEPAGE)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 900
      TEST_PREFIX cp${T_ALSO_CODEPAGE}.
      PROPERTIES ${props} ENVIRONMENT "MORVANE_CODEPAGE=${T_ALSO_CODEPAGE}")
  endif()
endfunction()
