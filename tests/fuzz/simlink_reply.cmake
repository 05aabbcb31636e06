halvex_add_fuzz(simlink_reply_fuzz
  SOURCES SimlinkReplyFuzz.cpp
  LIBS halvex_simlink halvex_sim
  SEEDS ${CMAKE_CURRENT_SOURCE_DIR}/seeds/simlink)
