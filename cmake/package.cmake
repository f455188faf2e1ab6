# `cpack -G DEB` in a build folder makes the Debian package of what `cmake --install` lays out,
# under /usr. It depends on the libraries the program runs on, never on their -dev packages.
set(CPACK_PACKAGE_NAME velkview)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(VELK_MAINTAINER
    "Seed 8055affe maintainers <maintainers@users.noreply.c-seed-8055affe.example>"
    CACHE STRING "The Debian package's Maintainer field")
set(CPACK_PACKAGE_CONTACT "${VELK_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "image viewer for JPEG, BMP, GIF and TIFF files")
# Lines of at most 80 characters, as Debian's control files want them.
set(CPACK_PACKAGE_DESCRIPTION "Browses folders and shows the chosen picture beside its properties at a
chosen zoom, with a full-screen view, a loupe, a slide show, batch conversion,
skins, plugins and language files.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# qt6-qpa-plugins holds the X11 platform plugin the program asks Qt for.
set(velk_runtime_packages
    "libc6 (>= 2.36)" "libstdc++6 (>= 12)" libgcc-s1
    "libqt6core6 (>= 6.4)" "libqt6gui6 (>= 6.4)" "libqt6widgets6 (>= 6.4)" "libqt6dbus6 (>= 6.4)"
    qt6-qpa-plugins
    "libjpeg62-turbo (>= 1:2.0)" "libturbojpeg0 (>= 1:2.0)" "liblcms2-2 (>= 2.9)"
    "libasound2 (>= 1.0.16)"
    # the theme the icons are installed into, as Debian's icon packages expect
    hicolor-icon-theme)
list(JOIN velk_runtime_packages ", " CPACK_DEBIAN_PACKAGE_DEPENDS)

# What Debian wants beside the program: the copyright, the changelog and a manual page, which
# help2man makes from `velkview --help` so that the two never disagree.
set(velk_doc ${CMAKE_BINARY_DIR}/doc)
file(MAKE_DIRECTORY ${velk_doc})
set(velk_docs ${velk_doc}/changelog.gz)
add_custom_command(
  OUTPUT ${velk_doc}/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/cmake/debian/changelog ${velk_doc}
  COMMAND gzip -9nf ${velk_doc}/changelog
  DEPENDS ${PROJECT_SOURCE_DIR}/cmake/debian/changelog
  VERBATIM)
install(FILES cmake/debian/copyright ${velk_doc}/changelog.gz DESTINATION share/doc/velkview)
find_program(VELK_HELP2MAN help2man)
if(VELK_HELP2MAN)
  add_custom_command(
    OUTPUT ${velk_doc}/velkview.1.gz
    COMMAND ${VELK_HELP2MAN} --no-info --name "${CPACK_PACKAGE_DESCRIPTION_SUMMARY}"
            --output ${velk_doc}/velkview.1 $<TARGET_FILE:velkview>
    COMMAND gzip -9nf ${velk_doc}/velkview.1
    DEPENDS velkview
    COMMENT "Making the manual page"
    VERBATIM)
  list(APPEND velk_docs ${velk_doc}/velkview.1.gz)
  install(FILES ${velk_doc}/velkview.1.gz DESTINATION share/man/man1)
else()
  # The package test's lintian run then reports the missing page.
  message(WARNING "help2man is missing (tools/deps.sh installs it): no manual page")
endif()
add_custom_target(package_docs ALL DEPENDS ${velk_docs})
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/installed_size.cmake)
include(CPack)
