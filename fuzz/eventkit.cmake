qp_fuzz_target(ical_fuzz SOURCES ical_fuzz.cpp LIBS EventKit
  CORPUS ${PROJECT_SOURCE_DIR}/tests/corpus/ics ${CMAKE_CURRENT_SOURCE_DIR}/corpus/ical)
