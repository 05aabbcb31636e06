halvex_add_fuzz(route_files_fuzz
  SOURCES RouteFilesFuzz.cpp
  DICT route.dict
  LIBS halvex_fms XercesC::XercesC
  SEEDS ${CMAKE_CURRENT_SOURCE_DIR}/seeds/route_files)
