halvex_add_bench(panel_bench
  SOURCES PanelFrameBench.cpp
  LIBS halvex_panel halvex_sim halvex_core)
target_compile_definitions(panel_bench PRIVATE HALVEX_MODULE_FILE="$<TARGET_FILE:halvex_module>")
add_dependencies(panel_bench halvex_module face_bitmaps)
