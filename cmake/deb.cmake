# deb.cmake -- the Debian package (make deb): CPack's DEB generator over the
# install rules, with what Debian asks of a package beside them: manual pages
# and the changelog compressed with gzip -9n, the licence in Debian's
# machine-readable copyright format, stripped programs, and Depends computed
# from the programs by dpkg-shlibdeps, plus the GL libraries SDL loads.
# Version and maintainer come from res/deb/changelog.

# The manual pages, compressed as Debian installs them; `make install` takes
# them too.
find_program(KAVELD_GZIP gzip REQUIRED)
set(kaveld_doc_outputs "")
# kaveld_gzip(<source> <output>): <output> is <source> under gzip -9n (no name
# or time stamp inside, so the package is the same for the same source).
function(kaveld_gzip source output)
  add_custom_command(OUTPUT ${output}
    COMMAND ${KAVELD_GZIP} -9nc ${source} > ${output}
    DEPENDS ${source} VERBATIM)
  set(kaveld_doc_outputs ${kaveld_doc_outputs} ${output} PARENT_SCOPE)
endfunction()
set(kaveld_pkg ${CMAKE_BINARY_DIR}/pkg)
file(MAKE_DIRECTORY ${kaveld_pkg})
kaveld_gzip(${CMAKE_SOURCE_DIR}/res/man/kaveld.6 ${kaveld_pkg}/kaveld.6.gz)
kaveld_gzip(${CMAKE_SOURCE_DIR}/res/man/kaveld-capture.1 ${kaveld_pkg}/kaveld-capture.1.gz)
kaveld_gzip(${CMAKE_SOURCE_DIR}/res/deb/changelog ${kaveld_pkg}/changelog.Debian.gz)
add_custom_target(kaveld-docs ALL DEPENDS ${kaveld_doc_outputs})

install(FILES ${kaveld_pkg}/kaveld.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${kaveld_pkg}/kaveld-capture.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The licence as Debian's copyright file: the header in res/deb, the text
# from LICENSE (its lines indented, blank lines as " .").
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/LICENSE
  ${CMAKE_SOURCE_DIR}/res/deb/changelog)
file(READ ${CMAKE_SOURCE_DIR}/LICENSE licence)
string(FIND "${licence}" "Permission is hereby granted" start)
string(SUBSTRING "${licence}" ${start} -1 licence)
string(STRIP "${licence}" licence)
string(REGEX REPLACE "\n\n" "\n.\n" licence "${licence}")
string(REGEX REPLACE "\n" "\n " KAVELD_MIT_TEXT " ${licence}")
configure_file(res/deb/copyright.in ${kaveld_pkg}/copyright @ONLY)

# Only the package takes the Debian changelog and copyright.
install(FILES ${kaveld_pkg}/copyright ${kaveld_pkg}/changelog.Debian.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kaveld
  COMPONENT deb EXCLUDE_FROM_ALL)

# Version and maintainer: the changelog's first entry.
file(STRINGS ${CMAKE_SOURCE_DIR}/res/deb/changelog changelog)
list(GET changelog 0 first)
string(REGEX MATCH "^kaveld \\(([^-]+)-([0-9]+)\\)" first "${first}")
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "res/deb/changelog is at ${CMAKE_MATCH_1}, the project at ${PROJECT_VERSION}")
endif()
set(CPACK_DEBIAN_PACKAGE_RELEASE ${CMAKE_MATCH_2})
list(FILTER changelog INCLUDE REGEX "^ -- ")
list(GET changelog 0 trailer)
string(REGEX REPLACE "^ -- (.*>)  .*" "\\1" CPACK_DEBIAN_PACKAGE_MAINTAINER "${trailer}")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kaveld)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};kaveld;ALL;/" "${CMAKE_BINARY_DIR};kaveld;deb;/")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Not "games": Debian keeps those in /usr/games, and kaveld lives in /usr/bin.
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# SDL loads the GL libraries at run time, where dpkg-shlibdeps cannot see
# them: libGL for the display (GLX), libEGL for the capture's offscreen GL.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1, libegl1")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS ffmpeg)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "real-time audiovisual demo
kaveld plays a tracker module and, in step with it, draws a fixed sequence
of OpenGL scenes (additive textured squares, orbiting particle rings, a
cascade of growing squares, sphere-mapped meshes that spin, fly and morph,
eight cross-faded closing slides), then fades picture and music to silence.
The textures, meshes and music are generated from source at build time.

kaveld-capture renders the same show offline, without a display, to a
video with sound (through ffmpeg), PNG frames or a trace of every frame.")
include(CPack)
