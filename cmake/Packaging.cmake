# `make deb` (cpack -G DEB in a build folder): the Debian package of the
# program, vxarb_<version>_<arch>.deb, with the version of project().
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vxarb)
set(CPACK_PACKAGE_VENDOR "vxarb maintainers")
# The maintainer and the home page: cmake/Addresses.cmake. A package
# without a home page has no Homepage field.
set(CPACK_PACKAGE_CONTACT "${ARB_MAINTAINER}")
if(ARB_HOMEPAGE_URL)
  set(CPACK_PACKAGE_HOMEPAGE_URL "${ARB_HOMEPAGE_URL}")
endif()
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "arbitrary waveform editor for VX48250 function generators")
set(CPACK_PACKAGE_DESCRIPTION
    "A desktop editor for the arbitrary waveforms of the VX48250 series of function
generators: one window holds one waveform of up to 16384 points. Draw it with
the mouse, type points and segments, pick a standard shape, transform it, type
a sum-of-sines formula or any formula with a live preview, read it from a text
file or import a value table or another tool's waveform file; send it to the
generator over USB (through a VISA library or the kernel's usbtmc driver), save
or export it, or take over a trace captured from a Tektronix oscilloscope (a
TDS over RS-232, or a TDS or TBS over USB). Every change of the waveform can be
undone.

The interface is in Simplified Chinese. The package includes the help
document, a desktop entry, AppStream metadata and a udev rule that lets the
user at the desktop open USBTMC instruments.")

# The Debian changelog names the version of project() and the time of
# configuring (or SOURCE_DATE_EPOCH, for a reproducible package).
string(TIMESTAMP ARB_RELEASE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(resources/debian/changelog.in ${CMAKE_BINARY_DIR}/changelog @ONLY)
arb_gzip(${CMAKE_BINARY_DIR}/changelog ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_target(arb_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/copyright ${CMAKE_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the program links come from dpkg-shlibdeps. Those it loads at
# run time are named here: without a CJK font the Chinese captions are boxes,
# without the SVG plugins the tool bar has no images, without Qt's
# translations Qt's own buttons, file dialogs and context menus speak English.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei | fonts-noto-cjk, libqt6svg6, qt6-translations-l10n")
# The help document opens in the desktop's browser through xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_SOURCE_DIR}/resources/debian/postinst ${CMAKE_SOURCE_DIR}/resources/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
