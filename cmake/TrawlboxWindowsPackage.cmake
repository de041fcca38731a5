# What the Windows program is shipped as: a zip to unpack anywhere and run, and a setup program
# that installs it for every user. Both come from the same installation, made by CPack:
#   cpack --config <build>/CPackConfig.cmake -B <build>/packages
# gives trawlbox-<version>-win64.zip and trawlbox-<version>-win64-setup.exe.
if(NOT TARGET trawlbox)
  return()
endif()

install(TARGETS trawlbox RUNTIME DESTINATION .)

# The README and licence open in Notepad: CRLF line ends, and a byte-order mark so that a Windows
# 10 older than 1903, whose Notepad guesses the local code page, still shows the Japanese text.
string(ASCII 239 187 191 trawlbox_utf8_bom)
function(trawlbox_install_windows_text source name)
  file(READ ${source} text)
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE ${PROJECT_BINARY_DIR}/${name} "${trawlbox_utf8_bom}${text}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
  install(FILES ${PROJECT_BINARY_DIR}/${name} DESTINATION .)
endfunction()
trawlbox_install_windows_text(${PROJECT_SOURCE_DIR}/README.md README.txt)
trawlbox_install_windows_text(${PROJECT_SOURCE_DIR}/LICENSE LICENSE.txt)

find_program(TRAWLBOX_MAKENSIS makensis REQUIRED)

set(CPACK_GENERATOR "ZIP;External")
set(CPACK_PACKAGE_NAME trawlbox)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
string(REGEX REPLACE "^Copyright \\([cC]\\) [0-9, -]+ " "" CPACK_PACKAGE_VENDOR
  "${TRAWLBOX_COPYRIGHT}")
set(CPACK_PACKAGE_FILE_NAME trawlbox-${PROJECT_VERSION}-win64)
set(CPACK_STRIP_FILES ON)
# Unpacked, the zip gives one folder named as the zip, not three loose files among the user's.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_EXTERNAL_ENABLE_STAGING ON)
set(CPACK_EXTERNAL_PACKAGE_SCRIPT ${PROJECT_SOURCE_DIR}/app/win32/installer/cpack_makensis.cmake)
set(CPACK_TRAWLBOX_MAKENSIS ${TRAWLBOX_MAKENSIS})
set(CPACK_TRAWLBOX_NSIS_SCRIPT ${PROJECT_SOURCE_DIR}/app/win32/installer/trawlbox.nsi)
set(CPACK_TRAWLBOX_ICON ${PROJECT_SOURCE_DIR}/app/win32/resources/trawlbox.ico)

include(CPack)
