halvex_add_bench(flightplan_bench
  SOURCES FlightPlanBench.cpp
  LIBS halvex_fms)
