halvex_add_fuzz(navdb_runway_fuzz
  SOURCES NavDbRunwayFuzz.cpp
  LIBS halvex_navdb
  CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/navdb_seeds/wpNavAPT.txt ${CMAKE_CURRENT_SOURCE_DIR}/navdb_seeds/malformed.txt)
