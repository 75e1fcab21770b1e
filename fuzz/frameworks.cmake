# The other frameworks' readers of outside data.
qp_fuzz_target(color_fuzz SOURCES color_fuzz.cpp LIBS QuillpaneCore CoreImage EventKit)
qp_fuzz_target(png_fuzz SOURCES png_fuzz.cpp LIBS UIKit)
qp_fuzz_target(layout_fuzz SOURCES layout_fuzz.cpp LIBS Preferences)
qp_fuzz_target(infoplist_fuzz SOURCES infoplist_fuzz.cpp LIBS AppList)
qp_fuzz_target(substrate_fuzz SOURCES substrate_fuzz.cpp LIBS MobileSubstrate)
