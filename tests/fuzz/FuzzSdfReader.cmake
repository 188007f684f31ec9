qm_fuzzer(fuzz_sdf_reader SOURCES ${CMAKE_CURRENT_LIST_DIR}/FuzzSdfReader.cpp DEPS qm_framework)
