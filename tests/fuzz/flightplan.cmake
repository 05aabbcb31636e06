halvex_add_fuzz(flightplan_fuzz
  SOURCES FlightPlanFuzz.cpp
  LIBS halvex_fms
  CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/flightplan)
