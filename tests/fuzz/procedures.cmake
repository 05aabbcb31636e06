halvex_add_fuzz(procedures_fuzz
  SOURCES ProceduresFuzz.cpp
  LIBS halvex_procedures
  CORPUS ${PROJECT_SOURCE_DIR}/data/PMDG/SIDSTARS ${PROJECT_SOURCE_DIR}/tests/fuzz/procedures_seeds)
