halvex_add_bench(display_bench
  SOURCES DisplayBench.cpp
  LIBS halvex_display)
