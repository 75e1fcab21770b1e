# Shared helpers for the build: one framework library per platform folder,
# one test executable per test folder.
include(GoogleTest)

# qp_framework(NAME SOURCES ... DEPS ...)
# A simulated device framework: a shared library whose headers are included as
# <NAME/Header.h> from the platform folder. It also implements the simulator's
# controls of its part of the device, whose headers (simulator/NAME) only it
# and the host-side targets see.
function(qp_framework name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} SHARED ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/platform)
  target_link_libraries(${name} PRIVATE SimulatorControls)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  set_target_properties(${name} PROPERTIES
    LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/lib
    INSTALL_RPATH "$ORIGIN")
endfunction()

# qp_test(NAME SOURCES ... LIBS ...)
# Each test case runs in a process of its own, as the device runs each host
# fresh: process-wide hooks installed by one case never leak into the next.
function(qp_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} SimulatorControls GTest::gmock GTest::gtest_main)
  # The shared fixtures (temporary device roots, captured log lines).
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
  target_compile_definitions(${name} PRIVATE
    QP_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    QP_CORPUS_DIR="${PROJECT_SOURCE_DIR}/tests/corpus"
    QP_BINARY_DIR="${PROJECT_BINARY_DIR}")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS "${ARG_LABELS}")
endfunction()
