qm_fuzzer(fuzz_demo_script SOURCES ${CMAKE_CURRENT_LIST_DIR}/FuzzDemoScript.cpp DEPS qm_demo)
