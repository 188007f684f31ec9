qm_fuzzer(fuzz_exchange_file
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/FuzzExchangeFile.cpp
  DEPS qm_plugin_filter qm_plugin_exchange)
