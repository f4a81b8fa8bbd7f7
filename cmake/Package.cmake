# The Debian package, made by CPack's DEB generator from the install above: the package holds
# exactly what `cmake --install` puts under /usr, so a file added to the install is packaged with
# no change here. `cpack --config CPackConfig.cmake` in the build folder (make deb) writes
# tessaron_VERSION_ARCH.deb; the dependencies are those dpkg-shlibdeps finds in the binaries.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessaron)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "Tessaron developers <developers@tessaron.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "settings for a USB mechanical gaming keyboard")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Tessaron configures the 04d9:a1df USB mechanical gaming keyboard: any key can\n"
  "send another key, a combination, a media function, a macro or start a program;\n"
  "it records and edits macros, chooses lighting effects and per-key light maps,\n"
  "sets game mode, Win Lock, response time and report rate, and keeps profiles.\n"
  "The window is tessaron, the command-line tool tessaronctl. A udev rule lets\n"
  "the user at the computer open the keyboard without root.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://tessaron.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  ${PROJECT_SOURCE_DIR}/packaging/debian/postinst ${PROJECT_SOURCE_DIR}/packaging/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

include(CPack)
