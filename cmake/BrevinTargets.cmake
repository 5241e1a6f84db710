# Shared helpers for every folder's CMakeLists: warnings, tests, benchmarks, fuzz targets.

function(brevin_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror
    -Wno-missing-field-initializers)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    # GCC 12 reports overlapping copies inside std::string's own code at -O2 ("text" + string&&,
    # GCC bug 105329): keep it a warning there.
    target_compile_options(${target} PRIVATE -Wno-error=restrict)
  endif()
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND (BREVIN_SANITIZE OR BREVIN_FUZZ))
    # GCC's flow-based buffer warnings misfire on sanitizer-instrumented code (for example a
    # vector shrunk by a constant): in those builds they stay warnings; the plain builds keep them errors.
    target_compile_options(${target} PRIVATE -Wno-error=stringop-overflow -Wno-error=stringop-overread
      -Wno-error=array-bounds -Wno-error=maybe-uninitialized)
  endif()
  if(WIN32)
    target_compile_definitions(${target} PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
  endif()
endfunction()

# brevin_test(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2 [LABELS gui] [TIMEOUT seconds])
# One executable per subsystem: under Wine every process start costs a second or more.
# In the MinGW build every test runs under Wine (the emulator) and carries the label "wine".
function(brevin_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  brevin_warnings(${name})
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 600)
  endif()
  set(labels ${T_LABELS})
  if(WIN32)
    list(APPEND labels wine)
  else()
    list(APPEND labels native)
  endif()
  list(REMOVE_DUPLICATES labels)
  set_tests_properties(${name} PROPERTIES
    WORKING_DIRECTORY $<TARGET_FILE_DIR:${name}>
    TIMEOUT ${T_TIMEOUT}
    LABELS "${labels}")
endfunction()

# brevin_delay_load(TARGET DEF...): the target's calls into the functions that each .def file lists
# load that library at the first call, from the system folder only, and a library or function that
# cannot be had throws an Exception naming it (framework/win32/DelayLoad.cpp). Call it before the
# target's other libraries are linked: the stubs, whole archives, must come before the system's
# import libraries on the link line.
function(brevin_delay_load target)
  set(libs)
  foreach(def IN LISTS ARGN)
    get_filename_component(stem ${def} NAME_WE)
    set(lib ${CMAKE_CURRENT_BINARY_DIR}/delayload/${target}/lib${stem}_delay.a)
    add_custom_command(OUTPUT ${lib}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/delayload/${target}
      COMMAND ${CMAKE_DLLTOOL} --input-def ${def} --output-delaylib ${lib}
      DEPENDS ${def} VERBATIM)
    list(APPEND libs ${lib})
  endforeach()
  add_custom_target(${target}_delayload DEPENDS ${libs})
  add_dependencies(${target} ${target}_delayload)
  target_link_libraries(${target} PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${libs}>" framework_delayload delayimp)
endfunction()

# brevin_benchmark(NAME SOURCES ... LIBS ...): native only, never part of ctest.
function(brevin_benchmark name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  if(WIN32 OR NOT BREVIN_BENCHMARKS)
    return()
  endif()
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark)
  brevin_warnings(${name})
endfunction()

# brevin_fuzzer(NAME SOURCES ... LIBS ...): libFuzzer + ASan + UBSan, clang only.
function(brevin_fuzzer name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT BREVIN_FUZZ)
    return()
  endif()
  add_executable(${name} ${F_SOURCES})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
endfunction()
