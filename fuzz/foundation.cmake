# Foundation's parsers of outside data: property lists and log formats.
qp_fuzz_target(plist_fuzz SOURCES plist_fuzz.cpp LIBS Foundation
  CORPUS ${PROJECT_SOURCE_DIR}/tests/corpus/plist ${CMAKE_CURRENT_SOURCE_DIR}/corpus/plist)
qp_fuzz_target(nslog_fuzz SOURCES nslog_fuzz.cpp LIBS Foundation
  CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/nslog)
