# The browser build: kelto.html (the page), kelto.js, kelto.wasm and kelto.data (the pictures, the
# sounds and the glyphs, made at build time by the native tools), all plain static files in the
# build folder, ready for any web server.
set(KELTO_WEB_DIR ${CMAKE_BINARY_DIR})
set(KELTO_WEB_SOURCES ${PROJECT_SOURCE_DIR}/src/platform/web)
set_target_properties(kelto PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KELTO_WEB_DIR} SUFFIX .html)
target_link_options(kelto PRIVATE
  "SHELL:-s MIN_WEBGL_VERSION=2"
  "SHELL:-s ALLOW_MEMORY_GROWTH=1"
  # The page stays as written (Debian ships no HTML minifier).
  "SHELL:-s MINIFY_HTML=0"
  "SHELL:-s EXPORTED_RUNTIME_METHODS=[FS,addRunDependency,removeRunDependency]"
  "SHELL:--js-library ${KELTO_WEB_SOURCES}/library_kelto.js"
  "SHELL:--shell-file ${KELTO_WEB_SOURCES}/kelto.html"
  "SHELL:--preload-file ${KELTO_RUN_DIR}/picture@/picture"
  "SHELL:--preload-file ${KELTO_RUN_DIR}/sound@/sound"
  "SHELL:--preload-file ${KELTO_GLYPHS}@/glyphs.dat")
set_target_properties(kelto PROPERTIES LINK_DEPENDS
  "${KELTO_WEB_SOURCES}/library_kelto.js;${KELTO_WEB_SOURCES}/kelto.html;${KELTO_PICTURES};${KELTO_SOUNDS};${KELTO_GLYPHS}")
add_dependencies(kelto pictures sounds glyphs)
