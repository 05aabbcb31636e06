halvex_add_fuzz(display_fuzz
  SOURCES DisplayFuzz.cpp
  LIBS halvex_display
  CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/seeds/display)
