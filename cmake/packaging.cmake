# The Debian package: `bash scripts/package.sh` (cpack -G DEB in the build folder).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zarvelo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Zarvelo")
set(CPACK_PACKAGE_CONTACT "Zarvelo <autor@zarvelo.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Editor für Navi-Flash-Dateien (DNL)")
set(CPACK_PACKAGE_DESCRIPTION
    "Zarvelo prüft und bearbeitet die Flash-Dateien (.DNL) von Navigationsgeräten der Baureihe RNS MFD: Startbild, DSP-Logo, Farbpaletten, Gitterlinien und Texte. zarvelo-cli macht dasselbe ohne Fenster.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.zarvelo.example/")
# Library dependencies come from the binaries (dpkg-shlibdeps). Qt loads its window-system
# plugins at run time, where no tool can see them, so that one is named here.
# The photo readers for WebP and TIFF are plugins too; the program and zarvelo-cli both read photos.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-image-formats-plugins")
if(ZARVELO_BUILD_GUI)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-image-formats-plugins")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
endif()
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/COPYING)
# Zarvelo is GPL-3.0-or-later; Debian wants the statement in the package's doc folder.
install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zarvelo)
include(CPack)
