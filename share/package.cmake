# The Debian package: `cpack -G DEB` in the build folder, or
# tools/make_package.sh, makes kov1_<version>_<arch>.deb of what
# install.cmake installs. Its Depends come from the programs' shared
# libraries (dpkg-shlibdeps); the desktop, MIME and icon caches are brought
# up to date by the triggers it activates, on installing and on removing.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kov1)
set(CPACK_PACKAGE_VERSION ${KOV1_VERSION})
set(CPACK_PACKAGE_VENDOR "KOV1 developers")
set(CPACK_PACKAGE_CONTACT ${KOV1_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "keyboard drawing editor whose pictures are QuickBASIC programs")
# The long description as the package shows it: lines under 80 columns, a
# lone "." for an empty line.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "KOV1 draws on the 640 x 200, 16-colour graphics screen of QuickBASIC's"
  "SCREEN 8 from the keyboard alone: lines, boxes, filled boxes, ellipses,"
  "fills and text in a 5 x 5 stroke font. Every shape is recorded as a"
  "QuickBASIC statement, so a saved drawing is a ready-to-run program that"
  "redraws the picture, text included, pixel for pixel."
  "."
  "It is meant for people who write BASIC programs and want graphics in them"
  "without plotting coordinates by hand. The package also holds kov1-render,"
  "which draws a saved drawing into a PNG picture without the editor.")
set(CPACK_STRIP_FILES ON)
# Installing into the staging folder through DESTDIR keeps install.cmake
# from building the desktop's caches inside the package.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_VERSION ${KOV1_VERSION})
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${KOV1_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/debian/triggers)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
