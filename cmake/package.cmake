# SPDX-License-Identifier: GPL-3.0-or-later
# A Debian package of what `cmake --install` lays out: `cpack -G DEB` in the build folder (or
# `cmake --build <build> --target package`). Build it from a folder configured with
# -DCMAKE_BUILD_TYPE=Release or RelWithDebInfo; the programs are stripped in the package.
set(QUILLON_MAINTAINER "Quillon developers <quillon@example.org>"
    CACHE STRING "Name and address the package names as its maintainer")
set(QUILLON_DEB_RELEASE 1 CACHE STRING "Debian revision of the package")
set(QUILLON_DEB_VERSION ${PROJECT_VERSION}-${QUILLON_DEB_RELEASE})

# Debian wants the licence and a changelog in /usr/share/doc/<package>/, the changelog compressed
# without name or time stamp. The changelog's date is the source's last change (SOURCE_DATE_EPOCH
# when set), so the same sources give the same package.
set(QUILLON_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/quillon)
if(QUILLON_HOMEPAGE)
  set(QUILLON_SOURCE_URL ${QUILLON_HOMEPAGE})
else()
  set(QUILLON_SOURCE_URL "https://example.org/quillon")
endif()
configure_file(${PROJECT_SOURCE_DIR}/dist/debian/copyright
               ${PROJECT_BINARY_DIR}/dist/debian/copyright @ONLY)
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(changelog_epoch $ENV{SOURCE_DATE_EPOCH})
else()
  file(TIMESTAMP ${PROJECT_SOURCE_DIR}/dist/debian/changelog.in changelog_epoch "%s" UTC)
endif()
execute_process(COMMAND date -u -R -d @${changelog_epoch}
                OUTPUT_VARIABLE QUILLON_CHANGELOG_DATE OUTPUT_STRIP_TRAILING_WHITESPACE)
configure_file(${PROJECT_SOURCE_DIR}/dist/debian/changelog.in
               ${PROJECT_BINARY_DIR}/dist/debian/changelog.Debian @ONLY)
add_custom_command(
  OUTPUT ${PROJECT_BINARY_DIR}/dist/debian/changelog.Debian.gz
  COMMAND ${QUILLON_GZIP} -9nkf ${PROJECT_BINARY_DIR}/dist/debian/changelog.Debian
  DEPENDS ${PROJECT_BINARY_DIR}/dist/debian/changelog.Debian
  VERBATIM)
add_custom_target(quillon_debian_changelog ALL
                  DEPENDS ${PROJECT_BINARY_DIR}/dist/debian/changelog.Debian.gz)
# A package made outside Debian's archive has no bug to close.
install(FILES ${PROJECT_SOURCE_DIR}/dist/debian/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME quillon)
install(FILES ${PROJECT_BINARY_DIR}/dist/debian/copyright
              ${PROJECT_BINARY_DIR}/dist/debian/changelog.Debian.gz
        DESTINATION ${QUILLON_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillon)
set(CPACK_PACKAGE_VENDOR "Quillon developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${QUILLON_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "extracts CAD drawings' block attributes to files, documents and databases")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${QUILLON_DEB_RELEASE})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${QUILLON_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${QUILLON_SOURCE_URL})
# The libraries the programs link (Qt, SQLite, libzip, pugixml, libpq) become the dependencies.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The synopsis line is CPACK_PACKAGE_DESCRIPTION_SUMMARY; this is the extended description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Quillon reads the block attributes of CAD drawings (DXF, and DWG of AutoCAD
R2.10 and later) as a template names them, and sends the records to a text
file, the clipboard, an .xlsx workbook, a .docx document or an SQLite
database. Drawing list files (.dlf) run extractions without clicking.
.
The package holds the program with its window, the command-line programs
quillon-extract, quillon-search and quillon-page, example drawings and
templates, and a desktop entry that opens drawing list files.")
# Files and folders belong to root with the usual modes, whatever the build user's umask.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

include(CPack)
