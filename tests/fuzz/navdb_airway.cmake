halvex_add_fuzz(navdb_airway_fuzz
  SOURCES NavDbAirwayFuzz.cpp
  LIBS halvex_navdb
  CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/navdb_seeds/wpNavRTE.txt ${CMAKE_CURRENT_SOURCE_DIR}/navdb_seeds/malformed.txt)
