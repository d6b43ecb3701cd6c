# Build helpers shared by every component.

get_filename_component(PRISMORA_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
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

# The DLLs the Windows programs load: libheif and libde265, which are under the LGPL and
# so are not linked in (the bootstrap cross-builds them). Every folder of the tree that
# holds a Windows program gets a copy (prismora_place_runtime_dlls), so that programs and
# tests find them beside themselves as the shipped builder does.
if(PRISMORA_WINDOWS)
  set(PRISMORA_RUNTIME_DLLS "")
  foreach(dll libheif.dll libde265.dll)
    string(MAKE_C_IDENTIFIER "${dll}" var)
    find_file(PRISMORA_${var} "${dll}" PATHS "${PRISMORA_ROOT}/.deps/${PRISMORA_WIN_ARCH}/bin"
      NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
    list(APPEND PRISMORA_RUNTIME_DLLS "${PRISMORA_${var}}")
  endforeach()
endif()

# Copies PRISMORA_RUNTIME_DLLS into the output folder of every executable defined in
# `dir` and below. Called once, after every component has registered.
function(prismora_place_runtime_dlls dir)
  if(NOT PRISMORA_WINDOWS)
    return()
  endif()
  set(folders "")
  set(pending "${dir}")
  while(pending)
    list(POP_FRONT pending d)
    get_property(subdirs DIRECTORY "${d}" PROPERTY SUBDIRECTORIES)
    list(APPEND pending ${subdirs})
    get_property(targets DIRECTORY "${d}" PROPERTY BUILDSYSTEM_TARGETS)
    foreach(t ${targets})
      get_target_property(type ${t} TYPE)
      if(NOT type STREQUAL "EXECUTABLE")
        continue()
      endif()
      get_target_property(out ${t} RUNTIME_OUTPUT_DIRECTORY)
      if(NOT out)
        get_target_property(out ${t} BINARY_DIR)
      endif()
      list(APPEND folders "${out}")
    endforeach()
  endwhile()
  list(REMOVE_DUPLICATES folders)
  foreach(f ${folders})
    file(COPY ${PRISMORA_RUNTIME_DLLS} DESTINATION "${f}")
  endforeach()
endfunction()

# Layers. Each library belongs to one layer, and its sources see only the folders of
# their layer and of the layers below it: the layer's include tree
# (<build>/layers/<name>) holds links to those folders and nothing else, so an include of
# a higher layer's header does not compile. Includes stay rooted at the repository
# ("builder/photos/pixels.h"). The layers themselves are listed in cmake/Layers.cmake.
#   prismora_layer(name FOLDERS folder... USES lower-layer...)
function(prismora_layer name)
  cmake_parse_arguments(A "" "" "FOLDERS;USES" ${ARGN})
  set(folders ${A_FOLDERS})
  foreach(lower ${A_USES})
    get_property(known GLOBAL PROPERTY PRISMORA_LAYER_${lower} SET)
    if(NOT known)
      message(FATAL_ERROR "Layer ${name} uses ${lower}, which is not listed before it")
    endif()
    get_property(below GLOBAL PROPERTY PRISMORA_LAYER_${lower})
    list(APPEND folders ${below})
  endforeach()
  list(REMOVE_DUPLICATES folders)
  list(SORT folders)
  set_property(GLOBAL PROPERTY PRISMORA_LAYER_${name} "${folders}")
  set_property(GLOBAL PROPERTY PRISMORA_LAYER_OWN_${name} "${A_FOLDERS}")
  set_property(GLOBAL APPEND PROPERTY PRISMORA_LAYERS ${name})
  set(tree "${CMAKE_BINARY_DIR}/layers/${name}")
  file(REMOVE_RECURSE "${tree}")  # removes the links, never what they point at
  foreach(folder ${folders})
    if(NOT IS_DIRECTORY "${PRISMORA_ROOT}/${folder}")
      message(FATAL_ERROR "Layer ${name}: there is no folder ${folder}")
    endif()
    get_filename_component(parent "${tree}/${folder}" DIRECTORY)
    file(MAKE_DIRECTORY "${parent}")
    file(CREATE_LINK "${PRISMORA_ROOT}/${folder}" "${tree}/${folder}" SYMBOLIC)
  endforeach()
endfunction()

# Gives a target's own sources the include tree of `layer`. The layer "top" is the whole
# repository: programs, tools, tests and benchmarks, which nothing includes.
function(prismora_use_layer target layer)
  if(layer STREQUAL "top")
    target_include_directories(${target} PRIVATE "${PRISMORA_ROOT}")
    return()
  endif()
  get_property(known GLOBAL PROPERTY PRISMORA_LAYER_${layer} SET)
  if(NOT known)
    message(FATAL_ERROR "${target}: there is no layer ${layer} (cmake/Layers.cmake)")
  endif()
  target_include_directories(${target} PRIVATE "${CMAKE_BINARY_DIR}/layers/${layer}")
endfunction()

# Stops the configure when `user` links one of our libraries that this tree has not
# defined before it: a component missing from the tree that needs it, or listed after its
# users, is said here and not found by the linker as a missing -lprismora_... later.
function(prismora_require_targets user)
  foreach(lib ${ARGN})
    if(lib MATCHES "^prismora_" AND NOT TARGET ${lib})
      message(FATAL_ERROR "${user} links ${lib}, which this tree does not define before it "
        "(a Windows-only library in the native tree, a missing folder, or one listed too late "
        "in the top CMakeLists.txt)")
    endif()
  endforeach()
endfunction()

# A static library of one layer.
#   WINDOWS  Win32 code: built in the Windows tree only
#   LAYER    the layer its sources belong to
function(prismora_library name)
  cmake_parse_arguments(A "WINDOWS" "LAYER" "SOURCES;LIBS" ${ARGN})
  if(A_WINDOWS AND NOT PRISMORA_WINDOWS)
    return()
  endif()
  if(NOT A_LAYER)
    message(FATAL_ERROR "${name}: no LAYER")
  endif()
  prismora_require_targets(${name} ${A_LIBS})
  add_library(${name} STATIC ${A_SOURCES})
  prismora_use_layer(${name} ${A_LAYER})
  if(A_LIBS)
    target_link_libraries(${name} PUBLIC ${A_LIBS})
  endif()
endfunction()

# A program of the tree: its layer's includes, its libraries checked as a library's are.
#   prismora_program(name [WIN32] LAYER layer SOURCES ... LIBS ...)
function(prismora_program name)
  cmake_parse_arguments(A "WIN32" "LAYER" "SOURCES;LIBS" ${ARGN})
  prismora_require_targets(${name} ${A_LIBS})
  if(A_WIN32)
    add_executable(${name} WIN32 ${A_SOURCES})
  else()
    add_executable(${name} ${A_SOURCES})
  endif()
  prismora_use_layer(${name} ${A_LAYER})
  if(A_LIBS)
    target_link_libraries(${name} PRIVATE ${A_LIBS})
  endif()
endfunction()

# A GoogleTest program registered with ctest as one test.
#   CORE     platform-free: runs natively (and is not built for Windows)
#   WINDOWS  needs Win32: built for Windows, run under Wine
#   SERIAL   drives real windows or input: never runs beside another such test
#   SHARDS n registered as n ctest tests (name_1 .. name_n), each running every n-th of
#            the program's test cases (GoogleTest's sharding), so that ctest runs them
#            side by side
#   COST s   about the seconds it takes: the longest tests start first (below)
function(prismora_test name)
  cmake_parse_arguments(A "CORE;WINDOWS;SERIAL" "TIMEOUT;SHARDS;COST" "SOURCES;LIBS" ${ARGN})
  if(A_CORE AND PRISMORA_WINDOWS)
    return()
  endif()
  if(A_WINDOWS AND NOT PRISMORA_WINDOWS)
    return()
  endif()
  add_executable(${name} ${A_SOURCES})
  # A test program's own code is built without optimisation: it runs little (the code under
  # test is in the libraries, built as the tree builds them), and its long test bodies,
  # gtest macros and sanitizer checks cost the optimiser about two thirds of their compile.
  target_compile_options(${name} PRIVATE -O0)
  prismora_require_targets(${name} ${A_LIBS})
  prismora_use_layer(${name} top)
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
  # ctest starts the costliest tests first, but on a fresh machine it has no times of its
  # own yet: without a cost the longest tests could start last and leave a core idle
  # while they finish.
  if(A_COST)
    set_tests_properties(${tests} PROPERTIES COST ${A_COST})
  endif()
endfunction()
