halvex_add_fuzz(config_fuzz
  SOURCES ConfigFuzz.cpp
  DICT config.dict
  LIBS halvex_core halvex_natives
  SEEDS ${PROJECT_SOURCE_DIR}/data/Gauges/HalvexFmsZolan/FMS_ZOLAN.ini ${PROJECT_SOURCE_DIR}/data/Gauges/HalvexFmsZolan/FMS_ZOLAN.spc
        ${CMAKE_CURRENT_SOURCE_DIR}/seeds/config)
