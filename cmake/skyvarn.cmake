# Build conventions shared by every subsystem.

add_compile_options(-Wall -Wextra)
if(SKYVARN_WERROR)
  add_compile_options(-Werror)
endif()

if(SKYVARN_SANITIZE OR SKYVARN_FUZZ)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(SKYVARN_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
# Coverage instrumentation only: the test programs link the same objects
# without libFuzzer's main.
if(SKYVARN_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
  set(CMAKE_CXX_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
  set(CMAKE_C_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
endif()

# What most sources read first; precompiled per library with SKYVARN_PCH.
set(SKYVARN_COMMON_HEADERS <algorithm> <cmath> <cstring> <functional> <map> <memory> <stdexcept> <string>
  <string_view> <vector> ${PROJECT_SOURCE_DIR}/foundation/text_string.h ${PROJECT_SOURCE_DIR}/foundation/vector_math.h)

# skyvarn_library(<name> [DEPS <targets>...])
# Makes the static library skyvarn_<name> from every .cpp of the calling folder
# that is not a test, and the test program skyvarn_<name>_test from every
# *_test.cpp beside it (plus testing/*.cpp helpers), registered with CTest.
# Folders below the calling one that have no CMakeLists.txt of their own are
# part of the same library.
function(skyvarn_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;TEST_DEPS" ${ARGN})
  file(GLOB_RECURSE all_sources CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  # Leave out sub-folders that are libraries of their own.
  file(GLOB_RECURSE sub_lists ${CMAKE_CURRENT_SOURCE_DIR}/*/CMakeLists.txt)
  foreach(list IN LISTS sub_lists)
    get_filename_component(sub ${list} DIRECTORY)
    list(FILTER all_sources EXCLUDE REGEX "^${sub}/")
  endforeach()
  set(lib_sources ${all_sources})
  list(FILTER lib_sources EXCLUDE REGEX "(_test\\.cpp|/testing/.*)$")
  set(test_sources ${all_sources})
  list(FILTER test_sources INCLUDE REGEX "(_test\\.cpp|/testing/.*\\.cpp)$")

  set(target skyvarn_${name})
  if(lib_sources)
    add_library(${target} STATIC ${lib_sources})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${ARG_DEPS})
    if(SKYVARN_PCH)
      target_precompile_headers(${target} PRIVATE ${SKYVARN_COMMON_HEADERS})
    endif()
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${ARG_DEPS})
  endif()
  set_property(GLOBAL APPEND PROPERTY SKYVARN_LIBRARIES ${target})

  if(SKYVARN_TESTS AND test_sources)
    add_executable(${target}_test ${test_sources})
    target_link_libraries(${target}_test PRIVATE ${target} ${ARG_TEST_DEPS} skyvarn_test_main)
    # The test framework's headers cost more to read than most tests do.
    target_precompile_headers(${target}_test PRIVATE <gtest/gtest.h> <gmock/gmock.h>)
    if(SKYVARN_PCH)
      target_precompile_headers(${target}_test PRIVATE ${SKYVARN_COMMON_HEADERS})
    endif()
    skyvarn_add_tests(${target}_test ${name})
  endif()
endfunction()

# skyvarn_add_tests(<test program> <prefix>)
# Registers a GoogleTest program with CTest: one CTest test per test case, or
# with SKYVARN_TEST_SHARDS=N the program as N shards. A sanitized process
# costs more to start than most tests take, so CI runs whole shards.
function(skyvarn_add_tests program prefix)
  if(SKYVARN_TEST_SHARDS GREATER 0)
    math(EXPR last "${SKYVARN_TEST_SHARDS} - 1")
    foreach(index RANGE ${last})
      add_test(NAME ${prefix}.shard${index} COMMAND ${program})
      set_tests_properties(${prefix}.shard${index} PROPERTIES
        ENVIRONMENT "GTEST_TOTAL_SHARDS=${SKYVARN_TEST_SHARDS};GTEST_SHARD_INDEX=${index}")
    endforeach()
  else()
    gtest_discover_tests(${program} DISCOVERY_TIMEOUT 60 TEST_PREFIX "${prefix}.")
  endif()
endfunction()

# All subsystem libraries, for the benchmarks and fuzz targets.
function(skyvarn_all_libraries out)
  get_property(libs GLOBAL PROPERTY SKYVARN_LIBRARIES)
  set(${out} ${libs} PARENT_SCOPE)
endfunction()
