halvex_add_fuzz(display_fuzz
  SOURCES DisplayFuzz.cpp
  LIBS halvex_display)
