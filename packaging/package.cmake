# The Debian package: `cpack -G DEB` in the build folder makes lexmire_<version>_<arch>.deb,
# the installed layout under /usr, its library dependencies worked out by dpkg-shlibdeps
# (from dpkg-dev).
set(CPACK_PACKAGE_NAME lexmire)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Lexmire developers")
set(CPACK_PACKAGE_CONTACT "The Lexmire developers <lexmire@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time multiplayer word game")
set(CPACK_PACKAGE_DESCRIPTION "Lexmire is a word game for up to four players over the network, plus
spectators. Every round all players see the same board of letter tiles and
race to build words from chains of touching tiles; the host checks and scores
each word and tells everybody.
.
The package holds the desktop program and lexmire-server, the game server
without a window.")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Everything `cmake --install` puts in place, and the files only the package carries.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};ALL;/"
                                 "${CMAKE_BINARY_DIR};${PROJECT_NAME};debian;/")
# The build keeps debugging symbols; a package does not need them.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://lexmire.github.io/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its platform plugins at run time, where dpkg-shlibdeps cannot see them: without
# them the window cannot open on X11. Wayland sessions fall back to X11 when Qt's Wayland
# plugin is missing, so that one is only recommended.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
