halvex_add_fuzz(plan_text_fuzz
  SOURCES PlanTextFuzz.cpp
  DICT plan_text.dict
  LIBS halvex_plan_commands halvex_script)
# Each input builds plans over the whole database: fewer mutations under the sanitizers.
if(HALVEX_SANITIZE AND NOT HALVEX_FUZZ)
  set_tests_properties(plan_text_fuzz PROPERTIES ENVIRONMENT HALVEX_FUZZ_RUNS=400)
endif()
