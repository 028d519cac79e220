# The Debian package of the Linux build: `cpack` in a build configured with
# CMAKE_INSTALL_PREFIX=/usr (scripts/package.sh) writes tavrik_VERSION_ARCH.deb. It holds what
# `cmake --install` puts in place; dpkg-shlibdeps (dpkg-dev) works out the libraries it depends
# on.
set(TAVRIK_MAINTAINER "The TAVRIK developers <tavrik@example.org>"
    CACHE STRING "The Debian package's maintainer")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavrik)
set(CPACK_PACKAGE_VENDOR "The TAVRIK developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "3D screen saver of harriers chasing a ring over the clouds")
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "A flight of small arrow-shaped craft, the harriers, chases a spinning\n"
    "ring-shaped craft, the quarry, over a chequerboard of cloud tiles and a\n"
    "chequered ground, while a camera director cuts between shots of the chase.\n"
    "It draws with OpenGL where the machine has a 3D renderer, and with its\n"
    "own software rasterizer where it has none.\n"
    "\n"
    "The package holds the hack for XScreenSaver with its description, a\n"
    "desktop entry for MATE's screen saver, and tavrik-settings, the settings\n"
    "dialog that `tavrik -c` opens.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TAVRIK_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PROJECT_HOMEPAGE_URL})
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver | mate-screensaver")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The paths built into the programs and the desktop entry are those of CMAKE_INSTALL_PREFIX.
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/strip_package.cmake)
include(CPack)
