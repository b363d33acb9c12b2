# What a player gets: on Windows the executable's icon and version resources and the zip's
# README.txt; elsewhere an installation in Debian's layout for games (cmake --install) and a
# Debian package of it (cpack -G DEB).

# The newest entry of packaging/changelog is the release: its version must be the project's, and
# it gives the release date and the package's maintainer.
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog KELTO_CHANGELOG_TOP LIMIT_COUNT 1)
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog KELTO_CHANGELOG_SIGNED REGEX "^ -- " LIMIT_COUNT 1)
if(NOT KELTO_CHANGELOG_TOP MATCHES "^kelto \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog: the newest entry is not version ${PROJECT_VERSION}")
endif()
if(NOT KELTO_CHANGELOG_SIGNED MATCHES "^ -- (.+)  [A-Z][a-z][a-z], ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
  message(FATAL_ERROR "packaging/changelog: no maintainer line with a date in the newest entry")
endif()
set(KELTO_MAINTAINER ${CMAKE_MATCH_1})
set(KELTO_RELEASE_DAY ${CMAKE_MATCH_2})
set(KELTO_RELEASE_YEAR ${CMAKE_MATCH_4})
set(KELTO_MONTHS Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND KELTO_MONTHS ${CMAKE_MATCH_3} KELTO_RELEASE_MONTH)
math(EXPR KELTO_RELEASE_MONTH "${KELTO_RELEASE_MONTH} + 1" OUTPUT_FORMAT DECIMAL)
if(KELTO_RELEASE_MONTH LESS 10)
  set(KELTO_RELEASE_MONTH 0${KELTO_RELEASE_MONTH})
endif()
set(KELTO_RELEASE_DATE ${KELTO_RELEASE_YEAR}-${KELTO_RELEASE_MONTH}-${KELTO_RELEASE_DAY})
# The licence is written once, in LICENSE: the Debian copyright file takes its copyright line and
# its terms (indented, a blank line as " ."), the Windows README.txt all of it.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE KELTO_LICENSE)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]+)\n+(.+[^\n])\n*$" KELTO_LICENSE_PARTS
  "${KELTO_LICENSE}")
if(NOT KELTO_LICENSE_PARTS)
  message(FATAL_ERROR "LICENSE: no \"Copyright (c) YEAR HOLDER\" line followed by the terms")
endif()
set(KELTO_COPYRIGHT ${CMAKE_MATCH_1})
string(REPLACE "\n\n" "\n.\n" KELTO_EXPAT_TERMS "${CMAKE_MATCH_2}")
string(REPLACE "\n" "\n " KELTO_EXPAT_TERMS " ${KELTO_EXPAT_TERMS}")
# The AppStream identifier; the desktop entry keeps the plain name kelto.desktop.
set(KELTO_APP_ID io.github.kelto.kelto)
set(KELTO_PACKAGING_DIR ${CMAKE_BINARY_DIR}/packaging)

if(WIN32)
  enable_language(RC)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/kelto.rc.in ${KELTO_PACKAGING_DIR}/kelto.rc @ONLY)
  target_sources(kelto PRIVATE ${KELTO_PACKAGING_DIR}/kelto.rc)
  set_source_files_properties(${KELTO_PACKAGING_DIR}/kelto.rc PROPERTIES
    OBJECT_DEPENDS ${KELTO_ICON_DIR}/kelto.ico)
  add_dependencies(kelto icons)
  # Notepad and every other Windows editor read CR LF, also in the licence it takes in.
  string(STRIP "${KELTO_LICENSE}" KELTO_LICENSE)
  string(REPLACE "\n" "\r\n" KELTO_LICENSE "${KELTO_LICENSE}")
  configure_file(${PROJECT_SOURCE_DIR}/packaging/README.txt.in ${KELTO_PACKAGING_DIR}/README.txt
    @ONLY NEWLINE_STYLE CRLF)
  return()
endif()

# --- The installation: relative destinations only, so it can be installed under any prefix
# and moved afterwards. The game finds its data from its own place (../share/games/kelto). ---

set(KELTO_DOC_DIR share/doc/kelto)
configure_file(${PROJECT_SOURCE_DIR}/packaging/kelto.6.in ${KELTO_PACKAGING_DIR}/kelto.6 @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/kelto-replay.6.in ${KELTO_PACKAGING_DIR}/kelto-replay.6 @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog ${KELTO_PACKAGING_DIR}/changelog COPYONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright.in ${KELTO_PACKAGING_DIR}/copyright @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/metainfo.xml.in
  ${KELTO_PACKAGING_DIR}/${KELTO_APP_ID}.metainfo.xml @ONLY)
# Manual pages and the changelog go in compressed, without a name or time stamp in the header.
set(KELTO_COMPRESSED kelto.6 kelto-replay.6 changelog)
list(TRANSFORM KELTO_COMPRESSED PREPEND ${KELTO_PACKAGING_DIR}/ OUTPUT_VARIABLE KELTO_PLAIN)
list(TRANSFORM KELTO_PLAIN APPEND .gz OUTPUT_VARIABLE KELTO_COMPRESSED)
add_custom_command(
  OUTPUT ${KELTO_COMPRESSED}
  COMMAND gzip -9 -n -k -f ${KELTO_PLAIN}
  DEPENDS ${KELTO_PLAIN}
  COMMENT "Compressing the manual pages and the changelog")
add_custom_target(packaging ALL DEPENDS ${KELTO_COMPRESSED})

install(TARGETS kelto kelto-replay RUNTIME DESTINATION games)
# The installed programs carry no note of the compiler that built them (.comment), as Debian's own
# packages do not.
install(CODE "
  foreach(Program kelto kelto-replay)
    execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/games/\${Program}\"
                    COMMAND_ERROR_IS_FATAL ANY)
  endforeach()")
install(FILES ${KELTO_PICTURES} DESTINATION share/games/kelto/picture)
install(FILES ${KELTO_SOUNDS} DESTINATION share/games/kelto/sound)
# The desktop entry names the installed game by its full path, written when it is installed, so
# the menu starts it whether or not PREFIX/games is on the PATH (~/.local/games never is, and
# /usr/games is not on root's).
install(CODE "
  set(KELTO_EXECUTABLE \"\${CMAKE_INSTALL_PREFIX}/games/kelto\")
  configure_file(\"${PROJECT_SOURCE_DIR}/packaging/kelto.desktop.in\"
                 \"${KELTO_PACKAGING_DIR}/installed/kelto.desktop\" @ONLY)
  file(INSTALL \"${KELTO_PACKAGING_DIR}/installed/kelto.desktop\"
       DESTINATION \"\${CMAKE_INSTALL_PREFIX}/share/applications\")")
foreach(Size ${KELTO_ICON_SIZES})
  install(FILES ${KELTO_ICON_DIR}/kelto-${Size}.png
    DESTINATION share/icons/hicolor/${Size}x${Size}/apps RENAME kelto.png)
endforeach()
install(FILES ${KELTO_PACKAGING_DIR}/${KELTO_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${KELTO_PACKAGING_DIR}/kelto.6.gz ${KELTO_PACKAGING_DIR}/kelto-replay.6.gz
  DESTINATION share/man/man6)
install(FILES README.md ${KELTO_PACKAGING_DIR}/copyright ${KELTO_PACKAGING_DIR}/changelog.gz
  DESTINATION ${KELTO_DOC_DIR})
# The README's links lead into docs/, so its pages go beside it.
install(DIRECTORY docs/ DESTINATION ${KELTO_DOC_DIR}/docs FILES_MATCHING PATTERN "*.md" PATTERN "*.png")
install(FILES packaging/lintian-overrides DESTINATION share/lintian/overrides RENAME kelto)

# --- The Debian package: cpack -G DEB in the build folder (or the "package" target) writes
# kelto_VERSION_ARCH.deb of the same installation under /usr. ---

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelto)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${KELTO_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "top-down shooter with time fields that slow your enemies")
# The long description as Debian shows it: lines shorter than 80 characters.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Walk a walled level seen from above, aim with the mouse and shoot the drones"
  "and turrets that shoot back. Hold and release the right mouse button to throw"
  "a time field: for a while every enemy, bullet and turret inside it moves"
  "slowly. A table of the ten best scores frames the game; each player keeps"
  "their own under ~/.local/share/kelto."
  "."
  "Controls: W A S D walk, the mouse aims, the left button fires, the right"
  "button throws a time field, Esc opens the menu; gamepads work too.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Staged through DESTDIR, so the installation sees its real prefix (the desktop entry's path).
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${KELTO_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the executables link come from dpkg-shlibdeps; the font is found at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-liberation)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
