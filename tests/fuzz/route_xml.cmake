halvex_add_fuzz(route_xml_fuzz
  SOURCES RouteXmlFuzz.cpp
  DICT route.dict
  LIBS halvex_fms XercesC::XercesC
  SEEDS ${CMAKE_CURRENT_SOURCE_DIR}/seeds/route_xml)
