# `cpack -G DEB` in the build tree: one package with both programs and their desktop files.
# Its dependencies are the shared libraries the programs link, as dpkg-shlibdeps finds them.
set(CPACK_PACKAGE_NAME dizuro-link)
set(CPACK_PACKAGE_VENDOR "KAV")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop and command-line programs for the KAV Dizuro receiver")
set(CPACK_PACKAGE_DESCRIPTION "Dizuro Link talks to the KAV Dizuro portable radio receiver over the
receiver's own Wi-Fi access point: it shows the receiver's versions, puts new
software on it, copies its screen into a PNG or BMP picture, and reads, backs up
and writes back its memory slots.

dizuro-link is the desktop program; dizuro-cli does the same from the command
line, without a display. Both can start a simulated receiver of their own.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Dizuro Link developers <dev@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's platform plugin is loaded at run time, so no linker dependency names it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hicolor-icon-theme")
include(CPack)
