# The Windows exe's resources (manifest, icon, version information), compiled by mingw's windres.
# Included from the top-level directory: a language is enabled only at file scope, for the
# directory and every one below it.
enable_language(RC)

# The version comes from project(), the copyright (and the packages' publisher) from the
# LICENSE's own line, so that neither is kept twice.
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE TRAWLBOX_COPYRIGHT REGEX "^Copyright " LIMIT_COUNT 1)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)

# Adds the resources to `target`, the program's exe.
function(trawlbox_add_windows_resources target)
  set(trawlbox_resources ${PROJECT_SOURCE_DIR}/app/win32/resources)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/trawlbox.rc)
  configure_file(${trawlbox_resources}/trawlbox.rc.in ${rc} @ONLY)
  # windres reports no dependencies, so a changed icon or manifest would not rebuild the exe.
  set(included resource_ids.h trawlbox.manifest trawlbox.ico)
  list(TRANSFORM included PREPEND ${trawlbox_resources}/)
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${included}")
  target_sources(${target} PRIVATE ${rc})
endfunction()
