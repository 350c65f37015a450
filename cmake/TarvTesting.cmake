# Test registration shared by every test folder.
#
# Every test runs headless and with a configuration and runtime folder of its
# own, so no test touches the user's real settings and tests can run in
# parallel.

# Leak reports are switched off for Qt tests: Qt, fontconfig and Mesa keep
# process-lifetime allocations that LeakSanitizer reports as leaks. The
# security tests have no Qt and keep leak detection on.
set(TARV_ASAN_OPTIONS_QT "detect_leaks=0:abort_on_error=0:strict_string_checks=1")
# On a real X display, libxkbcommon-x11 hands strndup key names that are not
# NUL-terminated within the length given, which is valid but trips the strict
# string checks.
set(TARV_ASAN_OPTIONS_X11 "detect_leaks=0:abort_on_error=0")
set(TARV_ASAN_OPTIONS_PLAIN "detect_leaks=1:strict_string_checks=1")
set(TARV_UBSAN_OPTIONS "print_stacktrace=1:halt_on_error=1")

function(_tarv_test_environment name out_var asan_options)
  set(home "${CMAKE_CURRENT_BINARY_DIR}/test-home/${name}")
  file(MAKE_DIRECTORY "${home}/config" "${home}/runtime")
  file(CHMOD "${home}/runtime" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
  # The tests run outside a desktop session. Without a session bus address,
  # libdbus would start one by forking the whole program from Qt's D-Bus
  # thread; under the sanitizers that copy can deadlock in the allocator
  # before it runs anything else, holding the program's sockets (its OSC
  # port, its display connection), while the program waits for it forever.
  # An address where no bus listens fails at once instead.
  set(${out_var}
      "DBUS_SESSION_BUS_ADDRESS=unix:path=${home}/runtime/no-session-bus"
      "QT_QPA_PLATFORM=offscreen"
      "QT_QUICK_CONTROLS_STYLE=Basic"
      "XDG_CONFIG_HOME=${home}/config"
      "XDG_RUNTIME_DIR=${home}/runtime"
      "ASAN_OPTIONS=${asan_options}"
      "UBSAN_OPTIONS=${TARV_UBSAN_OPTIONS}"
      PARENT_SCOPE)
endfunction()

# Registers an executable as a test with the shared environment.
function(_tarv_register_test name asan_options timeout labels run_serial)
  add_test(NAME ${name} COMMAND ${name})
  _tarv_test_environment(${name} env "${asan_options}")
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT ${timeout})
  if(labels)
    set_tests_properties(${name} PROPERTIES LABELS "${labels}")
  endif()
  if(run_serial)
    set_tests_properties(${name} PROPERTIES RUN_SERIAL ON)
  endif()
endfunction()

# tarv_add_qt_test(<name> SOURCES <files...> LIBRARIES <targets...>
#                  [LABELS <labels...>] [RUN_SERIAL])
# A Qt Test executable linked against exactly what it tests.
function(tarv_add_qt_test name)
  cmake_parse_arguments(ARG "RUN_SERIAL" "" "SOURCES;LIBRARIES;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBRARIES})
  _tarv_register_test(${name} "${TARV_ASAN_OPTIONS_QT}" 300 "${ARG_LABELS}" ${ARG_RUN_SERIAL})
endfunction()

# tarv_add_gtest(<name> SOURCES <files...> LIBRARIES <targets...>
#                [LABELS <labels...>])
# A GoogleTest executable for code without Qt.
function(tarv_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES;LABELS" ${ARGN})
  find_package(GTest REQUIRED)
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main ${ARG_LIBRARIES})
  _tarv_register_test(${name} "${TARV_ASAN_OPTIONS_PLAIN}" 600 "${ARG_LABELS}" OFF)
endfunction()

# tarv_add_quick_test(<name> SOURCES <files...> LIBRARIES <targets...>
#                     [LABELS <labels...>])
# A Qt Quick Test executable (QUICK_TEST_MAIN or QUICK_TEST_MAIN_WITH_SETUP)
# that runs every tst_*.qml file of the calling source folder.
function(tarv_add_quick_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_compile_definitions(${name} PRIVATE QUICK_TEST_SOURCE_DIR="${CMAKE_CURRENT_SOURCE_DIR}")
  target_link_libraries(${name} PRIVATE Qt6::QuickTest ${ARG_LIBRARIES})
  _tarv_register_test(${name} "${TARV_ASAN_OPTIONS_QT}" 300 "${ARG_LABELS}" OFF)
endfunction()

# tarv_add_test_environment(<test> VAR=value...)
# Adds variables to a registered test's environment.
function(tarv_add_test_environment name)
  get_test_property(${name} ENVIRONMENT env)
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env};${ARGN}")
endfunction()
