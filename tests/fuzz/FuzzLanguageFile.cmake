qm_fuzzer(fuzz_language_file SOURCES ${CMAKE_CURRENT_LIST_DIR}/FuzzLanguageFile.cpp DEPS qm_framework)
