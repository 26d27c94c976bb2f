# A Debian package from the build tree: "cpack --config build/CPackConfig.cmake -G DEB".
# It packs what "cmake --install" installs, so it reuses the build as it is.
set(CPACK_PACKAGE_NAME tessarel)
set(CPACK_PACKAGE_VENDOR "The Tessarel authors")
set(CPACK_PACKAGE_CONTACT "The Tessarel authors <tessarel@example.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://tessarel.example.org/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "documentation generator for source code comments")
set(CPACK_PACKAGE_DESCRIPTION
    "Tessarel publishes the documentation that programmers write inside the comments\n"
    "of their source files as HTML: a chapter page per source file, or a whole book\n"
    "with contents, a sorted index and, on request, an HTML Help project.\n"
    "It comes as a desktop program (tessarel) and a command (tessarel-cli).")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The Qt libraries' packages are found from the binaries' own links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The help compiler that turns a book's HTML Help project into a compiled file.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fp-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_GENERATOR DEB)
include(CPack)
