# Runs the grid generator and fails when its output differs from the committed table.
execute_process(COMMAND ${GENERATOR} ${COEFFICIENTS} 2026.0 ${OUTPUT} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "generator failed: ${rc}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT} ${COMMITTED} RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
  message(FATAL_ERROR "src/navdb/MagVarGrid.cpp is not what the generator writes; regenerate it")
endif()
