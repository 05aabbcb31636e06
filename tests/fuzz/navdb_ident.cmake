halvex_add_fuzz(navdb_ident_fuzz
  SOURCES NavDbIdentFuzz.cpp
  LIBS halvex_navdb
  CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/navdb_seeds/fmc_ident.txt ${CMAKE_CURRENT_SOURCE_DIR}/navdb_seeds/malformed.txt)
