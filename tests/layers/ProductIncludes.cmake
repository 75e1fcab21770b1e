# The product reaches the device only through its interfaces. Run as
#   cmake -DBUILD_DIR=<build> -DSOURCE_DIR=<source> -P ProductIncludes.cmake
# it compiles probes with the product's own compile commands (from the
# build's compile_commands.json): every device header must compile there, and
# every simulator header must be out of reach.

set(products tweak/Initializer.cpp prefs/PaneFiles.cpp)
set(work ${BUILD_DIR}/product-includes)
file(MAKE_DIRECTORY ${work})
file(READ ${BUILD_DIR}/compile_commands.json database)
string(JSON entries LENGTH "${database}")
math(EXPR lastEntry "${entries} - 1")

# The arguments that compiled `source`, without its output and input.
function(product_command source out)
  foreach(i RANGE ${lastEntry})
    string(JSON file GET "${database}" ${i} file)
    if(file STREQUAL "${SOURCE_DIR}/${source}")
      string(JSON command GET "${database}" ${i} command)
      separate_arguments(args UNIX_COMMAND "${command}")
      set(kept "")
      set(skip FALSE)
      foreach(arg IN LISTS args)
        if(skip)
          set(skip FALSE)
        elseif(arg STREQUAL "-o" OR arg STREQUAL "-c")
          set(skip TRUE)
        else()
          list(APPEND kept "${arg}")
        endif()
      endforeach()
      set(${out} "${kept}" PARENT_SCOPE)
      return()
    endif()
  endforeach()
  message(FATAL_ERROR "${source} has no compile command in ${BUILD_DIR}")
endfunction()

# Compiles a file that includes `headers`; sets rc and err in the caller.
function(probe command name headers)
  set(text "")
  foreach(h IN LISTS headers)
    string(APPEND text "#include <${h}>\n")
  endforeach()
  file(WRITE ${work}/${name}.cpp "${text}")
  execute_process(COMMAND ${command} -fsyntax-only ${work}/${name}.cpp
    RESULT_VARIABLE code ERROR_VARIABLE messages OUTPUT_QUIET)
  set(rc ${code} PARENT_SCOPE)
  set(err "${messages}" PARENT_SCOPE)
endfunction()

file(GLOB device_headers RELATIVE ${SOURCE_DIR}/platform ${SOURCE_DIR}/platform/*/*.h)
file(GLOB simulator_headers RELATIVE ${SOURCE_DIR}/simulator ${SOURCE_DIR}/simulator/*/*.h)
if(NOT device_headers OR NOT simulator_headers)
  message(FATAL_ERROR "no headers found under ${SOURCE_DIR}/platform or ${SOURCE_DIR}/simulator")
endif()

set(failures 0)
foreach(product IN LISTS products)
  product_command(${product} command)
  get_filename_component(tag ${product} NAME_WE)

  # The whole device, as the product sees it.
  probe("${command}" ${tag}-device "${device_headers}")
  if(NOT rc EQUAL 0)
    message(SEND_ERROR "${product}: the device headers do not compile on their own:\n${err}")
    math(EXPR failures "${failures} + 1")
  endif()

  foreach(h IN LISTS simulator_headers)
    string(MAKE_C_IDENTIFIER ${h} name)
    probe("${command}" ${tag}-${name} ${h})
    string(FIND "${err}" "${h}: No such file" missing)
    if(rc EQUAL 0 OR missing EQUAL -1)
      message(SEND_ERROR "${product} can include the simulator's <${h}>:\n${err}")
      math(EXPR failures "${failures} + 1")
    endif()
  endforeach()
endforeach()

list(LENGTH simulator_headers count)
if(failures GREATER 0)
  message(FATAL_ERROR "${failures} layering failures")
endif()
message(STATUS "the product reaches none of the ${count} simulator headers")
