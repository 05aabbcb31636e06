halvex_add_bench(navdb_bench
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/NavDbBench.cpp
  LIBS halvex_navdb)

# The same data set on disk, for measuring the navdata command as a whole process.
add_executable(navdata-world-gen ${CMAKE_CURRENT_SOURCE_DIR}/WorldNavDataGenerator.cpp)
