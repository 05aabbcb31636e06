halvex_add_fuzz(navdb_airport_point_fuzz
  SOURCES NavDbAirportPointFuzz.cpp
  DICT navdata.dict
  LIBS halvex_navdb
  SEEDS ${CMAKE_CURRENT_SOURCE_DIR}/navdb_seeds/airports.dat ${CMAKE_CURRENT_SOURCE_DIR}/navdb_seeds/malformed.txt)
