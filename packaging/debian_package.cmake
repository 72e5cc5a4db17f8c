# The Debian package, built by `cpack -G DEB` in the build folder as
# rasterine_<version>_<arch>.deb. Its library dependencies are read from the
# installed programs by dpkg-shlibdeps; the Qt plugins that the programs load
# at run time, and that no linker records, are added by hand.
set(RASTERINE_PACKAGE_MAINTAINER "The Rasterine project <rasterine@users.noreply.github.com>"
  CACHE STRING "Maintainer named in the Debian package")

set(CPACK_PACKAGE_NAME rasterine)
set(CPACK_PACKAGE_VENDOR "The Rasterine project")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${RASTERINE_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turn pictures into BBC Micro screen memory images")
set(CPACK_PACKAGE_DESCRIPTION
  "Rasterine reduces a picture to the colours of BBC Micro screen mode 0, 1,\n\
2, 4, 5 or 7 (teletext), with an ordered half-tone or with error diffusion,\n\
blue noise or direct binary search in linear light, and writes the raw\n\
screen memory as $.screen with a $.screen.inf side file, or a bootable DFS\n\
disc image that shows it. It has a window (rasterine) and a command line\n\
for scripts and batches (rasterine-convert).")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Image formats beyond PNG, JPEG and GIF (TIFF, WebP, TGA, ...) come as
# plugins, as does the Wayland platform; SVG pictures need Qt's SVG plugin.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-image-formats-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6svg6, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
