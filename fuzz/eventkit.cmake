# EventKit's readers: reminder files and the list folders' metadata.
qp_fuzz_target(ical_fuzz SOURCES ical_fuzz.cpp LIBS EventKit CORPUS ${PROJECT_SOURCE_DIR}/tests/corpus/ics)
qp_fuzz_target(vdir_fuzz SOURCES vdir_fuzz.cpp LIBS EventKit)
