# Writes the widget host's user service at install time, starting the host installed under the
# prefix. Run by `cmake --install` with VX_UNIT_IN (the unit in src/desktop/systemd), VX_UNIT_DIR
# and VX_HOST (the unit folder and the host, each under the prefix unless absolute) set.
#
# The unit goes straight to its destination, never through a file in the build tree, so that
# installations running at the same time cannot take each other's.

function(vx_under_prefix out path)
  if(IS_ABSOLUTE "${path}")
    set(${out} "${path}" PARENT_SCOPE)
  else()
    set(${out} "${CMAKE_INSTALL_PREFIX}/${path}" PARENT_SCOPE)
  endif()
endfunction()

# The executable as the first word of ExecStart=: quoted (the path may hold blanks), with "%"
# written "%%" (systemd expands specifiers even inside quotes). systemd runs no executable whose
# path holds a quote, a backslash or a control character, however written.
function(vx_exec_start_path out path)
  string(ASCII 1 first_control)
  string(ASCII 31 last_control)
  string(ASCII 127 delete)
  if(path MATCHES "[\"'\\\\${delete}]" OR path MATCHES "[${first_control}-${last_control}]")
    message(FATAL_ERROR "systemd cannot start ${path}: its path holds a quote, a backslash or "
                        "a control character. Install under another prefix.")
  endif()
  string(REPLACE "%" "%%" path "${path}")
  set(${out} "\"${path}\"" PARENT_SCOPE)
endfunction()

vx_under_prefix(vx_unit_dir "${VX_UNIT_DIR}")
vx_under_prefix(vx_host "${VX_HOST}")
vx_exec_start_path(vx_exec "${vx_host}")

file(READ "${VX_UNIT_IN}" vx_unit)
string(REGEX REPLACE "\nExecStart=[^ \n]*" "\nExecStart=${vx_exec}" vx_unit "${vx_unit}")
set(vx_unit_file "$ENV{DESTDIR}${vx_unit_dir}/vantorix-widget-host.service")
message(STATUS "Installing: ${vx_unit_file}")
file(WRITE "${vx_unit_file}" "${vx_unit}")
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${vx_unit_file}")
