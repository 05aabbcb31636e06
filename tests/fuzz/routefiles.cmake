halvex_add_fuzz(route_files_fuzz
  SOURCES RouteFilesFuzz.cpp
  LIBS halvex_fms
  CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/routefiles)
