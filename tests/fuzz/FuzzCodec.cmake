qm_fuzzer(fuzz_codec SOURCES ${CMAKE_CURRENT_LIST_DIR}/FuzzCodec.cpp DEPS qm_codec)
