halvex_add_fuzz(navdb_fix_fuzz
  SOURCES NavDbFixFuzz.cpp
  DICT navdata.dict
  LIBS halvex_navdb
  SEEDS ${CMAKE_CURRENT_SOURCE_DIR}/navdb_seeds/wpNavFIX.txt ${CMAKE_CURRENT_SOURCE_DIR}/navdb_seeds/malformed.txt)
