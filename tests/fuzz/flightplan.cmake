halvex_add_fuzz(flightplan_fuzz
  SOURCES FlightPlanFuzz.cpp
  LIBS halvex_fms
  SEEDS ${CMAKE_CURRENT_SOURCE_DIR}/seeds/flightplan)
# Up to four dozen edits per input, each recomputing the plan: under the sanitizers fewer
# mutations keep the suite quick.
if(HALVEX_SANITIZE AND NOT HALVEX_FUZZ)
  set_tests_properties(flightplan_fuzz PROPERTIES ENVIRONMENT HALVEX_FUZZ_RUNS=400)
endif()
