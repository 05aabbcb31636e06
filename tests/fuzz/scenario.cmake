halvex_add_fuzz(scenario_fuzz
  SOURCES ScenarioFuzz.cpp
  LIBS halvex_panel)
