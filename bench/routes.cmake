halvex_add_bench(routes_bench
  SOURCES RouteFilesBench.cpp
  LIBS halvex_fms)
