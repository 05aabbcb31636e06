halvex_add_fuzz(squirrel_run_fuzz
  SOURCES SquirrelRunFuzz.cpp
  DICT squirrel.dict
  LIBS halvex_squirrel
  SEEDS ${PROJECT_SOURCE_DIR}/tests/squirrel/fuzz_seeds)
