# The desktop entry names the installed program by its full path, so the menu
# starts the game whatever the prefix, whether or not its folder (games/ is
# not on every PATH) is on the path.  Used at configure time for the entry
# the tests validate, and again when installing, where the prefix is known.
#
# zemtori_desktop_entry(TEMPLATE OUTPUT PROGRAMS_DIR APP_ID)
function(zemtori_desktop_entry template output programs_dir app_id)
  set(exec "${programs_dir}/zemtori")
  # A path with anything but plain characters is quoted, as the desktop entry
  # format wants: ", `, $ and \ escaped inside the quotes, and every
  # backslash doubled once more for the entry's string.
  if(exec MATCHES "[^A-Za-z0-9/._+-]")
    string(REPLACE "\\" "\\\\\\\\" exec "${exec}")
    string(REGEX REPLACE "([\"`$])" "\\\\\\\\\\1" exec "${exec}")
    set(exec "\"${exec}\"")
  endif()
  set(ZEMTORI_DESKTOP_EXEC "${exec}")
  set(ZEMTORI_APP_ID "${app_id}")
  configure_file("${template}" "${output}" @ONLY)
endfunction()
