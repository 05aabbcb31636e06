halvex_add_bench(flightmodel_bench
  SOURCES FlightModelBench.cpp
  LIBS halvex_sim)
