# CPack's External generator runs this after installing the program into its staging folder:
# makensis packs that folder into the setup program. CPack's own NSIS generator is not used: its
# script is not Unicode, so it cannot name the shortcut in Japanese, and it registers the
# uninstaller without the quiet command and size that Windows' list of apps shows.
set(setup ${CPACK_TOPLEVEL_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}-setup.exe)
execute_process(
  COMMAND ${CPACK_TRAWLBOX_MAKENSIS} -V2 -INPUTCHARSET UTF8
    -DVERSION=${CPACK_PACKAGE_VERSION}
    -DPUBLISHER=${CPACK_PACKAGE_VENDOR}
    -DSTAGE=${CPACK_TEMPORARY_DIRECTORY}
    -DICON=${CPACK_TRAWLBOX_ICON}
    -DOUTFILE=${setup}
    ${CPACK_TRAWLBOX_NSIS_SCRIPT}
  COMMAND_ERROR_IS_FATAL ANY)
set(CPACK_EXTERNAL_BUILT_PACKAGES ${setup})
