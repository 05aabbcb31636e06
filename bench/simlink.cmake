halvex_add_bench(simlink_bench
  SOURCES SimlinkBench.cpp
  LIBS halvex_simlink halvex_sim)
