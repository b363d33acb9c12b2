# The picture generator runs at build time, so a cross build needs one built for the build
# machine. Either name one (-DKELTO_HOST_PICTURES=/path/to/kelto-pictures), or leave it empty and
# a native build of the generator alone is made under host-tools/ with the build machine's own
# compiler. Sets KELTO_PICTURES_COMMAND and KELTO_PICTURES_DEPENDS for the drawing step.
set(KELTO_HOST_PICTURES "" CACHE FILEPATH
    "kelto-pictures built for the build machine (empty: build it as part of this build)")
if(KELTO_HOST_PICTURES)
  set(KELTO_PICTURES_COMMAND ${KELTO_HOST_PICTURES})
  set(KELTO_PICTURES_DEPENDS ${KELTO_HOST_PICTURES})
else()
  include(ExternalProject)
  set(KELTO_HOST_TOOLS_DIR ${CMAKE_BINARY_DIR}/host-tools)
  ExternalProject_Add(host-pictures
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${KELTO_HOST_TOOLS_DIR}
    CMAKE_ARGS -DKELTO_BUILD_GAME=OFF -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=Release
               -DCMAKE_RUNTIME_OUTPUT_DIRECTORY=${KELTO_HOST_TOOLS_DIR}/bin
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON)
  set(KELTO_PICTURES_COMMAND ${KELTO_HOST_TOOLS_DIR}/bin/kelto-pictures)
  # The target orders the steps; the sources make the pictures follow changes of the generator.
  set(KELTO_PICTURES_DEPENDS host-pictures ${KELTO_TOOL_SOURCES})
endif()
