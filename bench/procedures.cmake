halvex_add_bench(procedures_bench
  SOURCES ProceduresBench.cpp
  LIBS halvex_procedures)
