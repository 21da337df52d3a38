# Run at install time (and by its test with `cmake -P`): the windows are laid
# out in Liberation Sans, so say plainly when fontconfig cannot find it. A
# warning only: the program still runs, at a fallback size.
execute_process(COMMAND fc-list "Liberation Sans" family
                OUTPUT_VARIABLE trevalon_font_families
                RESULT_VARIABLE trevalon_font_rc
                ERROR_QUIET)
if(NOT trevalon_font_rc EQUAL 0 OR NOT trevalon_font_families MATCHES "Liberation Sans")
  message(WARNING "Trevalon: fontconfig finds no Liberation Sans, the font its windows are "
                  "laid out in; install the Debian package fonts-liberation.")
endif()
