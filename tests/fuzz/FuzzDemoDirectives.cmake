qm_fuzzer(fuzz_demo_directives SOURCES ${CMAKE_CURRENT_LIST_DIR}/FuzzDemoDirectives.cpp DEPS qm_demo)
if(TARGET fuzz_demo_directives)
  target_include_directories(fuzz_demo_directives PRIVATE ${CMAKE_SOURCE_DIR}/tests)
endif()
