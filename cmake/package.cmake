# `cpack -G DEB` in a build folder makes the Debian package of what `cmake --install` lays out,
# under /usr. It depends on the libraries the program runs on, never on their -dev packages.
set(CPACK_PACKAGE_NAME velkview)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Velk's JPEG Viewer developers <velkview@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "image viewer for JPEG, BMP, GIF and TIFF files")
set(CPACK_PACKAGE_DESCRIPTION "Browses folders and shows the chosen picture beside its \
properties at a chosen zoom, with a full-screen view, a loupe, a slide show, batch conversion, \
skins, plugins and language files.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# qt6-qpa-plugins holds the X11 platform plugin the program asks Qt for.
set(velk_runtime_packages
    "libc6 (>= 2.36)" "libstdc++6 (>= 12)" libgcc-s1
    "libqt6core6 (>= 6.4)" "libqt6gui6 (>= 6.4)" "libqt6widgets6 (>= 6.4)" qt6-qpa-plugins
    "libjpeg62-turbo (>= 1:2.0)" "liblcms2-2 (>= 2.9)" "libasound2 (>= 1.0.16)")
list(JOIN velk_runtime_packages ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
include(CPack)
