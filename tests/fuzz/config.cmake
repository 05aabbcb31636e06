halvex_add_fuzz(config_fuzz
  SOURCES ConfigFuzz.cpp
  LIBS halvex_core halvex_natives
  CORPUS ${PROJECT_SOURCE_DIR}/data/Gauges/HalvexFmsZolan/FMS_ZOLAN.ini ${PROJECT_SOURCE_DIR}/data/Gauges/HalvexFmsZolan/FMS_ZOLAN.spc)
