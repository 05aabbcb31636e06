halvex_add_bench(procsel_bench
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/ProcedureSelectionBench.cpp
  LIBS halvex_fms)
