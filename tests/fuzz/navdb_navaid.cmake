halvex_add_fuzz(navdb_navaid_fuzz
  SOURCES NavDbNavaidFuzz.cpp
  DICT navdata.dict
  LIBS halvex_navdb
  SEEDS ${CMAKE_CURRENT_SOURCE_DIR}/navdb_seeds/wpNavAID.txt ${CMAKE_CURRENT_SOURCE_DIR}/navdb_seeds/malformed.txt)
