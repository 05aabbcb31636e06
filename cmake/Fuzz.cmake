# The fuzz build (HALVEX_FUZZ, clang only): the project's sanitizers, plus coverage
# instrumentation on every project library so that libFuzzer steers by the readers' own
# branches, not only the harness's. The harnesses add -fsanitize=fuzzer themselves
# (tests/fuzz/). Debian's Lua and Xerces are linked as packaged, uninstrumented: inputs to
# them are seen only where our code hands them over and reads back.
if(HALVEX_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "HALVEX_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang")
  endif()
  set(HALVEX_SANITIZE ON)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
