# What every folder's install rules share. A rule with no COMPONENT lands in
# the folder's default component: trevalon, or trevalon-site under site/.
include(GNUInstallDirs)
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME trevalon)

# trevalon_man_page(NAME.SECTION): gzips the page from this folder (lintian
# wants it compressed, without a time stamp), installs it, and adds a test
# that groff formats it without a warning.
function(trevalon_man_page page)
  string(REGEX MATCH "[1-9]$" section "${page}")
  if(NOT section)
    message(FATAL_ERROR "man page ${page} does not end in its section")
  endif()
  set(source ${CMAKE_CURRENT_SOURCE_DIR}/${page})
  set(packed ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.gz)
  add_custom_command(
    OUTPUT ${packed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/man
    COMMAND sh -c "gzip -9nc \"$1\" > \"$2\"" gzip ${source} ${packed}
    DEPENDS ${source}
    VERBATIM)
  add_custom_target(trevalon_man_${page} ALL DEPENDS ${packed})
  install(FILES ${packed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
  find_program(GROFF groff REQUIRED)
  add_test(NAME packaging.man_${page} COMMAND ${GROFF} -man -ww -z ${source})
  set_tests_properties(packaging.man_${page} PROPERTIES FAIL_REGULAR_EXPRESSION "warning|error")
endfunction()
