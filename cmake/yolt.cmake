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

# yolt_add_resources(TARGET SCRIPT [INCLUDES dirs...] [DEFINES NAME=VALUE...] [DEPENDS files...]):
# compiles a resource script with rc and links the result into TARGET, where the platform finds
# it through the section ".yoltrsrc" and the exported symbol "yolt_resource_blob". Files the
# script reads are tracked through rc's dependency file; DEPENDS names generated inputs.
function(yolt_add_resources target script)
  cmake_parse_arguments(R "" "" "INCLUDES;DEFINES;DEPENDS" ${ARGN})
  get_filename_component(script_path ${script} ABSOLUTE)
  get_filename_component(script_name ${script} NAME)
  set(source ${CMAKE_CURRENT_BINARY_DIR}/${target}_${script_name}.cpp)
  set(args)
  foreach(dir IN LISTS R_INCLUDES)
    list(APPEND args -I ${dir})
  endforeach()
  foreach(define IN LISTS R_DEFINES)
    list(APPEND args -D ${define})
  endforeach()
  add_custom_command(
    OUTPUT ${source} ${source}.yres
    COMMAND yolt_rc ${args} -o ${source} --depfile ${source}.d ${script_path}
    DEPENDS yolt_rc ${script_path} ${R_DEPENDS}
    DEPFILE ${source}.d
    COMMENT "Compiling resources ${script_name} for ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE ${source})
  set_source_files_properties(${source} PROPERTIES OBJECT_DEPENDS ${source}.yres)
  get_target_property(type ${target} TYPE)
  # A program's symbols are not exported by default; the platform looks this one up. An
  # object library passes the option on to the program or module that links it.
  if(type STREQUAL "EXECUTABLE")
    target_link_options(${target} PRIVATE -Wl,--export-dynamic-symbol=yolt_resource_blob)
  elseif(type STREQUAL "OBJECT_LIBRARY")
    target_link_options(${target} INTERFACE -Wl,--export-dynamic-symbol=yolt_resource_blob)
  endif()
endfunction()

# $<LINK_LIBRARY:NO_AS_NEEDED,lib>: links a shared library that is used only through the module
# loader (a system module that registers itself when loaded), so the linker keeps it even though
# no symbol of it is referenced.
set(CMAKE_LINK_LIBRARY_USING_NO_AS_NEEDED "LINKER:--push-state,--no-as-needed" "<LINK_ITEM>" "LINKER:--pop-state")
set(CMAKE_LINK_LIBRARY_USING_NO_AS_NEEDED_SUPPORTED TRUE)
