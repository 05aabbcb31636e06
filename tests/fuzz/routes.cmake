halvex_add_fuzz(route_xml_fuzz
  SOURCES RouteXmlFuzz.cpp
  LIBS halvex_fms
  CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/routes)
