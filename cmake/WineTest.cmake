# Test registration under Wine. tools/run-tests prepares one throwaway prefix per
# host below ${WINE_TEST_ROOT}; a test names the host it needs:
#   xp32   32-bit prefix reporting Windows XP (5.1)
#   w7x64  64-bit prefix reporting Windows 7 (6.1), the program runs under WOW64
# Every prefix shares one Xvfb display, so message boxes and the wizard are real windows.
set(WINE_TEST_ROOT ${CMAKE_BINARY_DIR}/wine-run CACHE INTERNAL "")
set(WINE_TEST_HOSTS xp32 w7x64 CACHE INTERNAL "")

# add_wine_test(<name> HOST <host> COMMAND <cmd...> [ENV <VAR=value>...] [LABELS <l>...] [TIMEOUT s] [SERIAL])
# SERIAL: the test installs, takes the single-instance mutex or looks for windows by
# title, so it runs alone in its prefix.
function(add_wine_test name)
  cmake_parse_arguments(T "SERIAL" "HOST;TIMEOUT" "COMMAND;ENV;LABELS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_test(NAME ${name} COMMAND ${T_COMMAND})
  string(REPLACE "/" "\\" build_win "Z:${CMAKE_BINARY_DIR}")
  set(env "WINEPREFIX=${WINE_TEST_ROOT}/pfx-${T_HOST}" "WINEDEBUG=-all"
          "SETUP_TEST_BUILD=${build_win}" "SETUP_TEST_HOST=${T_HOST}" ${T_ENV})
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} ENVIRONMENT "${env}"
                       LABELS "${T_HOST};${T_LABELS}")
  if(T_SERIAL)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK prefix-${T_HOST})
  endif()
endfunction()

# add_wine_test_per_host(<name> COMMAND ...): the same test once in every host prefix,
# as <name>_<host>.
function(add_wine_test_per_host name)
  foreach(h ${WINE_TEST_HOSTS})
    add_wine_test(${name}_${h} HOST ${h} ${ARGN})
  endforeach()
endfunction()
