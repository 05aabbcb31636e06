halvex_add_bench(guidance_bench
  SOURCES GuidanceBench.cpp
  LIBS halvex_fms)
