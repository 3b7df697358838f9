# yolt_test(NAME SOURCES... LIBS libs...): one GoogleTest executable registered with CTest.
function(yolt_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "YOLT_BIN=${CMAKE_BINARY_DIR}/bin;YOLT_SOURCE=${CMAKE_SOURCE_DIR}")
endfunction()
