# yolt_test(NAME SOURCES... LIBS libs...): one GoogleTest executable registered with CTest.
function(yolt_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "YOLT_BIN=${CMAKE_BINARY_DIR}/bin;YOLT_SOURCE=${CMAKE_SOURCE_DIR}")
endfunction()

# $<LINK_LIBRARY:NO_AS_NEEDED,lib>: links a shared library that is used only through the module
# loader (a system module that registers itself when loaded), so the linker keeps it even though
# no symbol of it is referenced.
set(CMAKE_LINK_LIBRARY_USING_NO_AS_NEEDED "LINKER:--push-state,--no-as-needed" "<LINK_ITEM>" "LINKER:--pop-state")
set(CMAKE_LINK_LIBRARY_USING_NO_AS_NEEDED_SUPPORTED TRUE)
