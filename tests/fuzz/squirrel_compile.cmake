halvex_add_fuzz(squirrel_compile_fuzz
  SOURCES SquirrelCompileFuzz.cpp
  LIBS halvex_squirrel
  CORPUS ${PROJECT_SOURCE_DIR}/data/Gauges/HalvexFmsZolan/VUV6000.sq ${PROJECT_SOURCE_DIR}/tests/squirrel/fuzz_seeds)
