# The man page, the licence and the Debian package (`cpack -G DEB` in the build
# folder; scripts/package does it).

# Debian keeps man pages compressed; -n leaves the time out, so builds match.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(VELMORA_MAN_PAGE ${PROJECT_BINARY_DIR}/velmora.1.gz)
add_custom_command(OUTPUT ${VELMORA_MAN_PAGE}
  COMMAND ${GZIP_PROGRAM} -9 -n -c ${PROJECT_SOURCE_DIR}/resources/velmora.1 > ${VELMORA_MAN_PAGE}
  DEPENDS ${PROJECT_SOURCE_DIR}/resources/velmora.1
  VERBATIM)
add_custom_target(velmora_man_page ALL DEPENDS ${VELMORA_MAN_PAGE})
install(FILES ${VELMORA_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The licence and the changelog go where Debian looks for them, under the
# package's own name: the copyright file names the licences of what the program
# links to as well.
set(VELMORA_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/velmora)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${VELMORA_DOC_DIR})
# What scripts read from headless runs; the man page points here.
install(FILES ${PROJECT_SOURCE_DIR}/docs/json.md DESTINATION ${VELMORA_DOC_DIR})

# A contact that reaches the people who build the package: the maker's address
# when the build has one; a release build sets its own.
if(NOT "${VELMORA_AUTHOR_EMAIL}" STREQUAL "")
  set(velmora_default_maintainer "The Velmora developers <${VELMORA_AUTHOR_EMAIL}>")
else()
  set(velmora_default_maintainer "The Velmora developers <velmora@velmora.org>")
endif()
set(VELMORA_PACKAGE_MAINTAINER "${velmora_default_maintainer}" CACHE STRING
  "Maintainer field of the Debian package: NAME <E-MAIL>")
# Build folders configured before the field needed an address still hold the old default.
if(VELMORA_PACKAGE_MAINTAINER STREQUAL "Velmora team")
  set(VELMORA_PACKAGE_MAINTAINER "${velmora_default_maintainer}" CACHE STRING
    "Maintainer field of the Debian package: NAME <E-MAIL>" FORCE)
endif()
if(NOT VELMORA_PACKAGE_MAINTAINER MATCHES "^[^<>]+ <[^<>@ ]+@[^<>@ ]+\\.[^<>@ ]+>$")
  message(FATAL_ERROR "VELMORA_PACKAGE_MAINTAINER must read NAME <E-MAIL>, not "
    "'${VELMORA_PACKAGE_MAINTAINER}'")
endif()
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${PROJECT_BINARY_DIR}/changelog @ONLY)
set(VELMORA_CHANGELOG ${PROJECT_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${VELMORA_CHANGELOG}
  COMMAND ${GZIP_PROGRAM} -9 -n -c ${PROJECT_BINARY_DIR}/changelog > ${VELMORA_CHANGELOG}
  DEPENDS ${PROJECT_BINARY_DIR}/changelog
  VERBATIM)
add_custom_target(velmora_changelog ALL DEPENDS ${VELMORA_CHANGELOG})
install(FILES ${VELMORA_CHANGELOG} DESTINATION ${VELMORA_DOC_DIR})

# Software centres list the application through its metainfo.
include(cmake/Metainfo.cmake)
install(FILES ${VELMORA_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Velmora")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "verify, repair and create PAR 1 and PAR 2 recovery sets")
# Lines of at most 80 characters, as Debian reads the extended description.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Velmora verifies and repairs PAR 1 and PAR 2 recovery sets, creates new ones\n"
  "and extracts the RAR archives that such sets usually protect. It works in a\n"
  "window or from the command line (--headless), where it reports every set as a\n"
  "documented JSON line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The install steps see the real prefix (staged under DESTDIR).
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VELMORA_PACKAGE_MAINTAINER})
# contrib: free itself, but it needs the non-free UnRAR library.
set(CPACK_DEBIAN_PACKAGE_SECTION contrib/utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps names the libraries the programs link (Qt 6, libunrar5, libplist,
# OpenSSL); what is only loaded at run time is named here: the Qt plug-in that draws
# the SVG icons and the platform plug-ins without which no window opens (a system
# installed without recommends lacks them). Both helpers are our own and ship in the package.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "desktop-file-utils, shared-mime-info, xdg-utils, unar")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  ${PROJECT_SOURCE_DIR}/packaging/postinst ${PROJECT_SOURCE_DIR}/packaging/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_GENERATOR DEB)
include(CPack)
