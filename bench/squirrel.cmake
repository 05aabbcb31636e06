halvex_add_bench(squirrel_bench
  SOURCES SquirrelWorkloads.cpp CduCycleBench.cpp CduPagesBench.cpp
  LIBS halvex_squirrel halvex_gauge PkgConfig::LUA51)
