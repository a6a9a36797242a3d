# The Debian package, made by `cpack -G DEB` in a build configured with
# CMAKE_INSTALL_PREFIX=/usr (scripts/package.sh does both). Its library
# dependencies are read from the binaries by dpkg-shlibdeps.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pelorin)
set(CPACK_PACKAGE_VENDOR "The Pelorin developers")
set(CPACK_PACKAGE_CONTACT "The Pelorin developers <pelorin@example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "draw monochrome phone logos and send them to a GSM phone")
set(CPACK_PACKAGE_INSTALL_DIRECTORY pelorin)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_VERSION ${PELORIN_PACKAGE_VERSION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PELORIN_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Qt loads its SVG image reader as a plugin; without it SVG pictures are refused.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6svg6")
if(TARGET pelorin)
  # Qt finds its window-system plugins at run time; no linked library names them.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
endif()
# CPack puts the summary on the first line itself.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Pelorin is an editor of small black-and-white logos for GSM phones: operator
logos of 72 x 14 and 78 x 21 pixels, caller-group graphics and picture
messages with text. It sends them to a phone on a serial line as binary short
messages with AT commands in PDU mode.
.
The package holds the editor (pelorin), the command-line program
(pelorin-cli) and a simulated phone on a pseudo-terminal (pelorin-phone) for
trying a send without a phone.")

include(CPack)
