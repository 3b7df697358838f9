# yolt_test(NAME SOURCES... LIBS libs...): one GoogleTest executable registered with CTest.
function(yolt_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "YOLT_BIN=${CMAKE_BINARY_DIR}/bin;YOLT_SOURCE=${CMAKE_SOURCE_DIR}")
endfunction()

# yolt_typelib(TARGET DESCRIPTION OUTPUT): compiles a type library description (JSON) into
# the binary library at OUTPUT with tools/typelib at build time.
function(yolt_typelib target description output)
  add_custom_command(OUTPUT ${output}
    COMMAND typelib ${description} ${output}
    DEPENDS typelib ${description}
    COMMENT "Compiling type library ${output}")
  add_custom_target(${target} ALL DEPENDS ${output})
endfunction()
