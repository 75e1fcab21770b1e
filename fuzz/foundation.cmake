# Foundation's parsers of outside data: property lists, log formats, number
# text, the device profile.
qp_fuzz_target(plist_fuzz SOURCES plist_fuzz.cpp LIBS Foundation CORPUS ${PROJECT_SOURCE_DIR}/tests/corpus/plist)
qp_fuzz_target(nslog_fuzz SOURCES nslog_fuzz.cpp LIBS Foundation)
qp_fuzz_target(numeric_fuzz SOURCES numeric_fuzz.cpp LIBS Foundation)
qp_fuzz_target(profile_fuzz SOURCES profile_fuzz.cpp LIBS Foundation)
