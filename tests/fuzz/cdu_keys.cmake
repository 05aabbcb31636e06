halvex_add_fuzz(cdu_keys_fuzz
  SOURCES CduKeysFuzz.cpp
  LIBS halvex_gauge)
# Every input runs page cycles on the whole script: under the sanitizers fewer mutations keep the
# suite quick.
if(HALVEX_SANITIZE AND NOT HALVEX_FUZZ)
  set_tests_properties(cdu_keys_fuzz PROPERTIES ENVIRONMENT HALVEX_FUZZ_RUNS=300)
endif()
