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

# The licence goes where Debian looks for it, under the package's own name.
set(VELMORA_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/velmora)
if(EXISTS ${PROJECT_SOURCE_DIR}/LICENSE)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${VELMORA_DOC_DIR} RENAME copyright)
else()
  message(STATUS "No LICENSE file yet: the install and the package carry no licence")
endif()

set(VELMORA_PACKAGE_MAINTAINER "Velmora team" CACHE STRING
  "Maintainer field of the Debian package")

set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Velmora")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "verify, repair and create PAR 1 and PAR 2 recovery sets")
set(CPACK_PACKAGE_DESCRIPTION
  "Velmora verifies and repairs PAR 1 and PAR 2 recovery sets, creates new ones and\
 extracts the RAR archives that such sets usually protect. It works in a window\
 or from the command line (--headless).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VELMORA_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps names the libraries the programs link (Qt 6, libunrar5, libplist,
# OpenSSL); what is only loaded at run time is named here: the Qt plug-in that draws
# the SVG icons. Both helpers are our own and ship in the package.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "desktop-file-utils, shared-mime-info, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  ${PROJECT_SOURCE_DIR}/packaging/postinst ${PROJECT_SOURCE_DIR}/packaging/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_GENERATOR DEB)
include(CPack)
