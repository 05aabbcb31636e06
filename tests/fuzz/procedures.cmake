halvex_add_fuzz(procedures_fuzz
  SOURCES ProceduresFuzz.cpp
  DICT procedures.dict
  LIBS halvex_procedures
  SEEDS ${PROJECT_SOURCE_DIR}/data/PMDG/SIDSTARS ${PROJECT_SOURCE_DIR}/tests/fuzz/procedures_seeds)
