# Shared build helpers: every library and test goes through these so that
# warnings, sanitizers and the core/Qt split are set in one place.

set(QM_WARNINGS -Wall -Wextra -Wpedantic -Wnon-virtual-dtor -Woverloaded-virtual
    -Wno-unused-parameter)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  list(APPEND QM_WARNINGS -Wshadow=local)
endif()
if(QM_WERROR)
  list(APPEND QM_WARNINGS -Werror)
endif()

set(QM_SANITIZER_FLAGS "")
if(QM_SANITIZE)
  set(QM_SANITIZER_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer
      -fno-sanitize-recover=undefined)
endif()

# The fuzz build instruments every library for coverage; fuzzer executables add the driver.
if(QM_FUZZ)
  list(APPEND QM_SANITIZER_FLAGS -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
endif()

set(QM_DATA_DIR ${CMAKE_SOURCE_DIR}/data)
set(QM_INSTALL_DATADIR share/quillmoor)

function(qm_apply_flags target)
  target_compile_options(${target} PRIVATE ${QM_WARNINGS} ${QM_SANITIZER_FLAGS})
  target_link_options(${target} PRIVATE ${QM_SANITIZER_FLAGS})
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR}/src)
endfunction()

# qm_core_library(name SOURCES ... DEPS ...): a library of the core layer.
# The core never sees Qt: the include path and link line carry none of it.
function(qm_core_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  qm_apply_flags(${name})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  set_property(GLOBAL APPEND PROPERTY QM_CORE_LIBRARIES ${name})
endfunction()

# qm_qt_library(name SOURCES ... DEPS ...): a platform or user-interface library.
function(qm_qt_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  qm_apply_flags(${name})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} Qt6::Core Qt6::Gui Qt6::Widgets)
endfunction()

# qm_test(name SOURCES ... DEPS ... [QT] [PER_TEST]): a GoogleTest executable registered with
# CTest. Core tests carry the label "core" and run again under the sanitizers; tests marked QT
# run with the offscreen platform. PER_TEST registers every test of a core program as a CTest
# test of its own, named <name>.<Suite>.<Test>/<instance>, without the test data variables (for
# the per-instruction-set kernel suites of tests/support/KernelTargets.h).
function(qm_test name)
  cmake_parse_arguments(ARG "QT;PER_TEST" "TIMEOUT" "SOURCES;DEPS" ${ARGN})
  if(ARG_QT AND NOT QM_WITH_QT)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  qm_apply_flags(${name})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  if(ARG_QT)
    target_link_libraries(${name} PRIVATE Qt6::Test)
    set(labels "qt")
  else()
    set(labels "core")
  endif()
  set(environment "QT_QPA_PLATFORM=offscreen;QM_TEST_DATA=${CMAKE_SOURCE_DIR}/tests/data;QM_DATA=${QM_DATA_DIR};QM_BINARY_DIR=${CMAKE_BINARY_DIR}")
  if(ARG_PER_TEST)
    include(GoogleTest)
    gtest_discover_tests(${name} TEST_PREFIX "${name}." DISCOVERY_MODE PRE_TEST NO_PRETTY_VALUES
      PROPERTIES LABELS "${labels}" TIMEOUT ${ARG_TIMEOUT})
    return()
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS "${labels}" TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "${environment}")
endfunction()

# Adds every immediate subfolder of the current folder that has a CMakeLists.txt.
function(qm_add_subfolders)
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child ${children})
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# qm_fuzzer(name SOURCES ... DEPS ...): a libFuzzer executable in <build>/fuzz (fuzz builds only).
# Its seed corpus, if any, lies in tests/fuzz/seeds/<name without the fuzz_ prefix>.
function(qm_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  if(NOT QM_FUZZ)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  qm_apply_flags(${name})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
endfunction()
