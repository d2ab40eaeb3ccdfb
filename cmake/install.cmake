# SPDX-License-Identifier: GPL-3.0-or-later
# `cmake --install` lays Quillon out as a Linux desktop program:
#   bin/                                   quillon and its command-line programs
#   share/quillon/faq.fil                  what F1 opens (copied to the user's program folder)
#   share/quillon/examples/                example drawings, templates and a drawing list
#   share/applications/quillon.desktop     the application menu entry, opening .dlf files
#   share/icons/hicolor/scalable/apps/     the icon
#   share/mime/packages/quillon.xml        the drawing list file type
#   share/man/man1/                        a manual page per program
include(GNUInstallDirs)

# Every program named here must have been built: a missing one fails the configure step.
foreach(program quillon quillon-extract quillon-search quillon-page quillon-update
                quillon-index)
  if(NOT TARGET ${program})
    message(FATAL_ERROR "install: the program ${program} is not part of this build")
  endif()
endforeach()
install(TARGETS quillon quillon-extract quillon-search quillon-page quillon-update
        quillon-index RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(QUILLON_DATA_DIR ${CMAKE_INSTALL_DATADIR}/quillon)
install(FILES ${PROJECT_SOURCE_DIR}/src/about/faq.fil DESTINATION ${QUILLON_DATA_DIR})

# The examples as a user reads them: the drawings, templates and their README, not the script
# that writes them nor the quick start list (its paths are relative to the source folder).
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${QUILLON_DATA_DIR}/examples
        FILES_MATCHING PATTERN "*.dxf" PATTERN "*.dwg" PATTERN "*.txt" PATTERN "README.md")
# A drawing list for the installed examples: a double-click shows their title blocks, ready to
# send from the window. Its paths are absolute, so it is written when the prefix is known: at
# install time (a package is staged under another prefix than the build was configured with).
install(CODE "
  set(QUILLON_EXAMPLES_DIR \"\${CMAKE_INSTALL_PREFIX}/${QUILLON_DATA_DIR}/examples\")
  file(READ \"${PROJECT_SOURCE_DIR}/dist/examples/title-blocks.dlf.in\" list)
  string(CONFIGURE \"\${list}\" list @ONLY)
  file(WRITE \"\$ENV{DESTDIR}\${QUILLON_EXAMPLES_DIR}/title-blocks.dlf\" \"\${list}\")
  message(STATUS \"Installing: \$ENV{DESTDIR}\${QUILLON_EXAMPLES_DIR}/title-blocks.dlf\")
")

install(FILES ${PROJECT_SOURCE_DIR}/dist/quillon.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/dist/quillon.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/dist/quillon-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME quillon.xml)

# Manual pages: written in a small Markdown dialect, turned into roff by a CMake script (no
# tool beyond CMake) and compressed as Debian wants them (gzip -9n: no name, no time stamp).
find_program(QUILLON_GZIP gzip REQUIRED)
set(man_pages)
foreach(program quillon quillon-extract quillon-search quillon-page quillon-update
                quillon-index)
  set(source ${PROJECT_SOURCE_DIR}/dist/man/${program}.1.md)
  set(page ${PROJECT_BINARY_DIR}/dist/man/${program}.1)
  add_custom_command(
    OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -DINPUT=${source} -DOUTPUT=${page} -DVERSION=${PROJECT_VERSION}
            -P ${PROJECT_SOURCE_DIR}/dist/man/markdown_to_man.cmake
    COMMAND ${QUILLON_GZIP} -9nf ${page}
    DEPENDS ${source} ${PROJECT_SOURCE_DIR}/dist/man/markdown_to_man.cmake
    COMMENT "Manual page ${program}(1)"
    VERBATIM)
  list(APPEND man_pages ${page}.gz)
endforeach()
add_custom_target(quillon_man_pages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
