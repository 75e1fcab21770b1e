qp_bench(springboard_bench SOURCES springboard_bench.cpp LIBS SpringBoardHost)
target_compile_definitions(springboard_bench PRIVATE
  QP_SPRINGBOARD_HOST="$<TARGET_FILE:quillpane-springboard>"
  QP_TWEAK_LIBRARY="$<TARGET_FILE:Quillpane>"
  QP_DEMO_DEVICE="${PROJECT_BINARY_DIR}/device")
add_dependencies(springboard_bench quillpane-springboard Quillpane)
