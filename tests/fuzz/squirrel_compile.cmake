halvex_add_fuzz(squirrel_compile_fuzz
  SOURCES SquirrelCompileFuzz.cpp
  DICT squirrel.dict
  LIBS halvex_squirrel
  SEEDS ${PROJECT_SOURCE_DIR}/data/Gauges/HalvexFmsZolan/VUV6000.sq ${PROJECT_SOURCE_DIR}/tests/squirrel/fuzz_seeds)
