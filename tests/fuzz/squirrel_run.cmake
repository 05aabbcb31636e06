halvex_add_fuzz(squirrel_run_fuzz
  SOURCES SquirrelRunFuzz.cpp
  LIBS halvex_squirrel
  CORPUS ${PROJECT_SOURCE_DIR}/tests/squirrel/fuzz_seeds)
