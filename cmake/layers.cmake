# Each folder of src/ is a library target that may include only the folders below it. The table
# below is the one place that says what lies below what; the build runs check_layers.cmake over
# the sources so that an include of a higher folder fails the build, not a later review.

set(PZ_LAYERS
  "platform:"
  "storage:platform"
  "reportfiles:storage platform"
  "ui:reportfiles storage platform"
  "reports:ui reportfiles storage platform"
  "accounting:reports ui reportfiles storage platform"
  "registers:accounting reports ui reportfiles storage platform"
  "rates:registers accounting reports ui reportfiles storage platform"
  "invoicing:rates registers accounting reports ui reportfiles storage platform"
  "cashdesk:invoicing rates registers accounting reports ui reportfiles storage platform"
  "shell:cashdesk invoicing rates registers accounting reports ui reportfiles storage platform"
  "frontends:shell cashdesk invoicing rates registers accounting reports ui reportfiles storage platform frontends")

# pz_library(<target> <folder below src/> [DEPS targets...])
# Sources are the .cpp files directly in the folder, so new files need no CMake edit.
function(pz_library target folder)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/src/${folder}/*.cpp")
  if(sources)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC "${PROJECT_SOURCE_DIR}/src")
    target_link_libraries(${target} PUBLIC ${ARG_DEPS})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE "${PROJECT_SOURCE_DIR}/src")
    target_link_libraries(${target} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

add_custom_target(check_layers ALL
  COMMAND ${CMAKE_COMMAND} -DSRC=${PROJECT_SOURCE_DIR}/src "-DLAYERS=${PZ_LAYERS}"
          -P ${PROJECT_SOURCE_DIR}/cmake/check_layers.cmake
  COMMENT "Checking that every folder includes only the folders below it"
  VERBATIM)
