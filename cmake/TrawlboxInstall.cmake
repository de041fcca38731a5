# Where `cmake --install` puts the program and the files a Linux desktop looks for, and how
# CPack turns the same installation into a Debian package.
include(GNUInstallDirs)

install(TARGETS trawlbox RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The installed program tells itself from one in a build or unpacked folder by this file, looked
# up from its own folder by the same relative path under any prefix: installed, it starts saving
# into the user's download folder instead of its own, a system folder.
install(FILES ${PROJECT_SOURCE_DIR}/data/installed DESTINATION ${CMAKE_INSTALL_DATADIR}/trawlbox)
file(RELATIVE_PATH trawlbox_installed_marker
  ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_DATADIR}/trawlbox/installed)
target_compile_definitions(trawlbox_platform_qt
  PRIVATE TRAWLBOX_INSTALLED_MARKER="${trawlbox_installed_marker}")

install(FILES ${PROJECT_SOURCE_DIR}/data/trawlbox.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/icons/hicolor/scalable/apps/trawlbox.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/data/io.github.trawlbox.Trawlbox.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Manual pages and changelogs are installed compressed, without a time stamp in the header so
# that the same sources give the same package.
find_program(TRAWLBOX_GZIP gzip REQUIRED)
function(trawlbox_install_gzipped source compressed destination)
  execute_process(COMMAND ${TRAWLBOX_GZIP} -9nc INPUT_FILE ${source}
    OUTPUT_FILE ${PROJECT_BINARY_DIR}/${compressed} COMMAND_ERROR_IS_FATAL ANY)
  install(FILES ${PROJECT_BINARY_DIR}/${compressed} DESTINATION ${destination})
endfunction()

configure_file(${PROJECT_SOURCE_DIR}/data/trawlbox.1.in ${PROJECT_BINARY_DIR}/trawlbox.1 @ONLY)
trawlbox_install_gzipped(${PROJECT_BINARY_DIR}/trawlbox.1 trawlbox.1.gz ${CMAKE_INSTALL_MANDIR}/man1)

set(TRAWLBOX_DEB_MAINTAINER "Trawlbox developers <trawlbox@example.org>"
  CACHE STRING "Maintainer of the Debian package, as in its control file and changelog")
configure_file(${PROJECT_SOURCE_DIR}/data/changelog.in ${PROJECT_BINARY_DIR}/changelog @ONLY)
trawlbox_install_gzipped(${PROJECT_BINARY_DIR}/changelog changelog.gz
  ${CMAKE_INSTALL_DATADIR}/doc/trawlbox)

# Debian keeps the licence of every package in /usr/share/doc/<package>/copyright, in the
# machine-readable format, where a License paragraph indents its text by one space and marks an
# empty line with " .".
file(READ ${PROJECT_SOURCE_DIR}/LICENSE trawlbox_license)
string(STRIP "${trawlbox_license}" trawlbox_license)
string(REPLACE "\n\n" "\n.\n" trawlbox_license "${trawlbox_license}")
string(REPLACE "\n" "\n " TRAWLBOX_LICENSE_TEXT " ${trawlbox_license}")
configure_file(${PROJECT_SOURCE_DIR}/data/copyright.in ${PROJECT_BINARY_DIR}/copyright @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/copyright
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/trawlbox)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME trawlbox)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "collect and download MetaTrader Expert Advisors and Indicators")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TRAWLBOX_DEB_MAINTAINER}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Trawlbox walks the public MQL4 and MQL5 code bases page by page, lists every
Expert Advisor and Custom Indicator download it finds in a grid (number,
title, type, address) and downloads the listed files into a folder the user
picks. Its user interface is in Japanese.")
# The shared libraries come from dpkg-shlibdeps, with the versions their symbols need. Besides
# them the program needs the font its grid asks for by substitution, the Japanese texts of Qt's
# own dialogs, xdg-open to hand addresses to the browser, and the system's certificate store that
# libcurl verifies https servers against (libcurl4 only recommends it).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "ca-certificates, fonts-ipafont-gothic, qt6-translations-l10n, xdg-utils")

include(CPack)
