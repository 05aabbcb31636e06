halvex_add_fuzz(navdb_ident_fuzz
  SOURCES NavDbIdentFuzz.cpp
  DICT navdata.dict
  LIBS halvex_navdb
  SEEDS ${CMAKE_CURRENT_SOURCE_DIR}/navdb_seeds/fmc_ident.txt ${CMAKE_CURRENT_SOURCE_DIR}/navdb_seeds/malformed.txt)
