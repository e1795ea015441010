# Tests labelled "threads" also run under the thread sanitizer; this target
# builds just them (run-tests.sh builds it in the tsan tree).
if(NOT TARGET kavro_thread_tests)
  add_custom_target(kavro_thread_tests)
endif()

function(kavro_register_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "LABELS" ${ARGN})
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES
    LABELS "${T_LABELS}"
    TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;KAVRO_TEST_SOURCE_DIR=${PROJECT_SOURCE_DIR};KAVRO_TEST_BINARY_DIR=${PROJECT_BINARY_DIR}")
  if("threads" IN_LIST T_LABELS)
    add_dependencies(kavro_thread_tests ${name})
  endif()
endfunction()

# kavro_add_gtest(<name> LABELS <unit|integration|gui>... SOURCES <files>... LIBS <targets>...)
# One GoogleTest executable registered as one CTest test. Every test runs with
# the offscreen Qt platform and a private HOME/XDG tree (see tests/support), so
# nothing touches the real user's folders.
function(kavro_add_gtest name)
  cmake_parse_arguments(T "" "TIMEOUT" "LABELS;SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} kavro_gtest_main kavro_testsupport GTest::gtest GTest::gmock)
  kavro_register_test(${name} LABELS ${T_LABELS} TIMEOUT "${T_TIMEOUT}")
endfunction()

# kavro_add_qtest(<name> LABELS ... SOURCES ... LIBS ...): a Qt Test executable.
function(kavro_add_qtest name)
  cmake_parse_arguments(T "" "TIMEOUT" "LABELS;SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_link_libraries(${name} PRIVATE ${T_LIBS} kavro_testsupport Qt5::Test)
  kavro_register_test(${name} LABELS ${T_LABELS} TIMEOUT "${T_TIMEOUT}")
endfunction()
