# The two hosts' parsers of what a person types: the event script, --now,
# and the Settings host's values.
qp_fuzz_target(eventscript_fuzz SOURCES eventscript_fuzz.cpp LIBS SpringBoardHost)
qp_fuzz_target(settings_value_fuzz SOURCES settings_value_fuzz.cpp LIBS Preferences)
