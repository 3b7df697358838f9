# Automation: VARIANT, type libraries and late binding (ITypeInfo::Invoke through libffi).
find_package(PkgConfig REQUIRED)
pkg_check_modules(FFI REQUIRED IMPORTED_TARGET libffi)

add_library(yolt_oleaut SHARED
  variant.cpp variant_convert.cpp
  typelib_parse.cpp typelib_objects.cpp typelib_memory.cpp typeinfo_invoke.cpp
  registry_tree.cpp typelib_load.cpp typelib_register.cpp)
target_link_libraries(yolt_oleaut PUBLIC yolt_registry yolt_kernel yolt_base PRIVATE yolt_resources PkgConfig::FFI)

set(SAMPLE_TLB ${CMAKE_CURRENT_BINARY_DIR}/tests/sample.tlb)
yolt_typelib(oleaut_sample_tlb ${CMAKE_CURRENT_SOURCE_DIR}/tests/sample.json ${SAMPLE_TLB})
yolt_test(oleaut_tests
  SOURCES tests/variant_tests.cpp tests/typelib_tests.cpp tests/invoke_tests.cpp
  LIBS yolt_oleaut)
add_dependencies(oleaut_tests oleaut_sample_tlb)
target_compile_definitions(oleaut_tests PRIVATE SAMPLE_TLB="${SAMPLE_TLB}")

set(SAMPLE_TLB ${SAMPLE_TLB} PARENT_SCOPE)
