halvex_add_fuzz(navdb_airway_fuzz
  SOURCES NavDbAirwayFuzz.cpp
  DICT navdata.dict
  LIBS halvex_navdb
  SEEDS ${CMAKE_CURRENT_SOURCE_DIR}/navdb_seeds/wpNavRTE.txt ${CMAKE_CURRENT_SOURCE_DIR}/navdb_seeds/malformed.txt)
# Each run loads a whole database, whose reserved tables (a quarter of a million rows) make
# sanitizer allocations slow: fewer mutations there keep the suite quick.
if(HALVEX_SANITIZE AND NOT HALVEX_FUZZ)
  set_tests_properties(navdb_airway_fuzz PROPERTIES ENVIRONMENT HALVEX_FUZZ_RUNS=300)
endif()
