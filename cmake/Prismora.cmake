# Build helpers shared by every component.

set(PRISMORA_ROOT "${CMAKE_CURRENT_LIST_DIR}/..")
if(WIN32)
  set(PRISMORA_WINDOWS ON)
  add_compile_definitions(WINVER=0x0601 _WIN32_WINNT=0x0601 NOMINMAX WIN32_LEAN_AND_MEAN)
  add_compile_options(-Wall -Wextra -Wno-cast-function-type -Wno-missing-field-initializers)
else()
  set(PRISMORA_WINDOWS OFF)
  add_compile_options(-Wall -Wextra)
  # The library's own checks: out-of-range indexing and comparators that are no ordering.
  add_compile_definitions(_GLIBCXX_ASSERTIONS)
  if(PRISMORA_SANITIZE)
    # -O1 as the sanitizers' own documentation advises: the reports keep their lines, and
    # the tests that decode whole picture suites and fuzz the readers run several times
    # faster than unoptimised.
    add_compile_options(-O1 -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
  endif()
endif()

# Platform-free code: built in both trees. Includes are rooted at the repository.
function(prismora_core_library name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC "${PRISMORA_ROOT}")
  if(A_LIBS)
    target_link_libraries(${name} PUBLIC ${A_LIBS})
  endif()
endfunction()

# Win32 code: built in the Windows tree only.
function(prismora_win32_library name)
  if(NOT PRISMORA_WINDOWS)
    return()
  endif()
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC "${PRISMORA_ROOT}")
  if(A_LIBS)
    target_link_libraries(${name} PUBLIC ${A_LIBS})
  endif()
endfunction()

# A GoogleTest program registered with ctest as one test.
#   CORE     platform-free: runs natively (and is not built for Windows)
#   WINDOWS  needs Win32: built for Windows, run under Wine
#   SERIAL   drives real windows or input: never runs beside another such test
#   SHARDS n registered as n ctest tests (name_1 .. name_n), each running every n-th of
#            the program's test cases (GoogleTest's sharding), so that ctest runs them
#            side by side
function(prismora_test name)
  cmake_parse_arguments(A "CORE;WINDOWS;SERIAL" "TIMEOUT;SHARDS" "SOURCES;LIBS" ${ARGN})
  if(A_CORE AND PRISMORA_WINDOWS)
    return()
  endif()
  if(A_WINDOWS AND NOT PRISMORA_WINDOWS)
    return()
  endif()
  add_executable(${name} ${A_SOURCES})
  target_include_directories(${name} PRIVATE "${PRISMORA_ROOT}")
  target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gtest prismora_test_main)
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 300)
  endif()
  # Labelled with the component (its tests' folder), so a run can take some components only.
  get_filename_component(component "${CMAKE_CURRENT_SOURCE_DIR}" NAME)
  set(environment "PRISMORA_SOURCE_DIR=${PRISMORA_ROOT};PRISMORA_BINARY_DIR=${CMAKE_BINARY_DIR}")
  set(tests ${name})
  if(A_SHARDS)
    set(tests)
    foreach(shard RANGE 1 ${A_SHARDS})
      math(EXPR index "${shard} - 1")
      add_test(NAME ${name}_${shard} COMMAND ${name})
      set_tests_properties(${name}_${shard} PROPERTIES
        ENVIRONMENT "${environment};GTEST_TOTAL_SHARDS=${A_SHARDS};GTEST_SHARD_INDEX=${index}")
      list(APPEND tests ${name}_${shard})
    endforeach()
  else()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${environment}")
  endif()
  set_tests_properties(${tests} PROPERTIES TIMEOUT ${A_TIMEOUT} LABELS ${component})
  if(A_SERIAL)
    set_tests_properties(${tests} PROPERTIES RUN_SERIAL TRUE)
  endif()
endfunction()
