qm_fuzzer(fuzz_lossless SOURCES ${CMAKE_CURRENT_LIST_DIR}/FuzzLossless.cpp DEPS qm_lossless)
