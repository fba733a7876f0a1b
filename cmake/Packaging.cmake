# `cpack -G DEB` (or `cmake --workflow --preset package`) turns the install target into a
# Debian package: the program, its icon, the menu entry and the README.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kumorial)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Kumorial developers <kumorial@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Editor for writing blog entries in Japanese")
set(CPACK_PACKAGE_DESCRIPTION
    "A small single-window editor for Shift_JIS blog entries: markup wrapped around selections,
registered phrases on Ctrl+0 to Ctrl+9, a symbol picker and one command that copies the
finished entry for the blog's web form.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
# The library dependencies come from the binary itself; the Japanese font is what the
# editor's default font asks for, and the SVG plugin draws the toolbar icons.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, libqt6svg6")
set(CPACK_STRIP_FILES ON)
include(CPack)
