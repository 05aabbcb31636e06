halvex_add_fuzz(guidance_inputs_fuzz
  SOURCES GuidanceInputsFuzz.cpp
  LIBS halvex_fms halvex_script)
