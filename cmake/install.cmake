# Installation (GNUInstallDirs) and the Debian package (CPack). The programs find the
# installed data relative to their own folder, so any prefix works.
install(TARGETS oyun oyun-capture oyun-viewer oyun-assets RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${OYUN_DATA_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/oyun/data)
install(FILES ${CMAKE_SOURCE_DIR}/examples/models/walker.txt ${CMAKE_SOURCE_DIR}/examples/models/walker.tga
  DESTINATION ${CMAKE_INSTALL_DATADIR}/oyun/examples)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/oyun)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/oyun.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 48 256)
  install(FILES ${OYUN_ICON_DIR}/oyun-${size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME oyun.png)
endforeach()

# Man pages from each program's --help and --version, where help2man is installed.
find_program(HELP2MAN_EXECUTABLE help2man)
if(HELP2MAN_EXECUTABLE)
  set(OYUN_MAN_DIR ${CMAKE_BINARY_DIR}/man)
  set(man_pages "")
  foreach(entry "oyun|a real-time 3D show drawn to its own music" "oyun-capture|render the show to a video or PNG frames"
                "oyun-viewer|show a jointed text model with the engine" "oyun-assets|write the show's pictures and music")
    string(REPLACE "|" ";" entry "${entry}")
    list(GET entry 0 program)
    list(GET entry 1 summary)
    add_custom_command(OUTPUT ${OYUN_MAN_DIR}/${program}.1.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${OYUN_MAN_DIR}
      COMMAND ${HELP2MAN_EXECUTABLE} --no-info --no-discard-stderr --section=1 --name=${summary}
              --output=${OYUN_MAN_DIR}/${program}.1 $<TARGET_FILE:${program}>
      COMMAND gzip -9nf ${OYUN_MAN_DIR}/${program}.1
      DEPENDS ${program}
      COMMENT "Writing the manual page of ${program}"
      VERBATIM)
    list(APPEND man_pages ${OYUN_MAN_DIR}/${program}.1.gz)
  endforeach()
  add_custom_target(man ALL DEPENDS ${man_pages})
  install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(STATUS "help2man not found: the manual pages are left out")
endif()

# The package's documents: the licence in Debian's machine-readable form, made from LICENSE,
# and the changelog, compressed as Debian wants it (gzip -9n: no name, no time stamp).
set(OYUN_MAINTAINER "The Oyun motorum developers <maintainers@users.noreply.c-seed-ccd3c7c9.example>"
  CACHE STRING "The package's maintainer, \"name <e-mail>\"")
file(READ ${CMAKE_SOURCE_DIR}/LICENSE licence)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" _ "${licence}")
set(OYUN_COPYRIGHT "${CMAKE_MATCH_1}")
string(REGEX REPLACE "^.*Copyright \\(c\\) [^\n]*\n+" "" licence "${licence}")
string(STRIP "${licence}" licence)
# Each line indented by one space; an empty line is " ." in this format.
string(REGEX REPLACE "\n\n" "\n.\n" licence "${licence}")
string(REGEX REPLACE "\n" "\n " OYUN_LICENSE_TEXT " ${licence}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/LICENSE)
configure_file(${CMAKE_SOURCE_DIR}/packaging/copyright.in ${CMAKE_BINARY_DIR}/packaging/copyright @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/packaging/changelog > ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  DEPENDS ${CMAKE_SOURCE_DIR}/packaging/changelog
  COMMENT "Compressing the changelog")
add_custom_target(changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/packaging/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/oyun)

# cpack -G DEB in the build folder: oyun_<version>_<arch>.deb, which lintian accepts. The
# version has no Debian revision: the project packages itself (a native package).
set(CPACK_PACKAGE_NAME oyun)
set(CPACK_PACKAGE_VENDOR "The Oyun motorum developers")
set(CPACK_PACKAGE_CONTACT "${OYUN_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${OYUN_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time 3D show drawn to its own music, and its small OpenGL engine")
# Lines of at most 80 columns: the control file keeps them as they are.
set(CPACK_PACKAGE_DESCRIPTION "Oyun motorum plays a two-minute letterboxed 3D show in step with its own
synthesised music. oyun-capture renders it to a video or PNG frames without a
display, and oyun-viewer shows a jointed text model with the engine.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Not a game (nothing is played): a 3D show and the tools that render and view it, filed
# under graphics as its desktop entry is.
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_STRIP_FILES ON)
# The libraries come from the programs themselves; the fonts, the GL driver and EGL (for the
# offscreen capture) are loaded at run time and must be named.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fonts-dejavu-core, libgl1, libgl1-mesa-dri, libegl1, libegl-mesa0")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
