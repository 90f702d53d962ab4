# Writes the widget host's user service, autostart entry and the gallery's application entry at
# install time, starting the host installed under the prefix. Run by `cmake --install` with
# VX_UNIT_IN (the unit in src/desktop/systemd), VX_UNIT_DIR and VX_HOST (the unit folder and the
# host, each under the prefix unless absolute), VX_AUTOSTART_IN (the entry in src/desktop/xdg),
# VX_AUTOSTART_DIR (its folder; empty: etc/xdg/autostart under the prefix, /etc/xdg/autostart
# for /usr), VX_GALLERY_IN (the gallery's entry beside it) and VX_APPLICATIONS_DIR (its folder,
# under the prefix unless absolute) set.
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

# The executable as the first word of a desktop entry's Exec=, for a path that passed
# vx_exec_start_path: quoted, with "$" and "`" escaped inside the quotes (the backslash itself
# written twice, as the entry's strings read it) and "%" written "%%" (a field code otherwise).
function(vx_desktop_exec_path out path)
  string(REPLACE "$" "\\\\$" path "${path}")
  string(REPLACE "`" "\\\\`" path "${path}")
  string(REPLACE "%" "%%" path "${path}")
  set(${out} "\"${path}\"" PARENT_SCOPE)
endfunction()

function(vx_write_installed file text)
  message(STATUS "Installing: ${file}")
  file(WRITE "${file}" "${text}")
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${file}")
  set(CMAKE_INSTALL_MANIFEST_FILES "${CMAKE_INSTALL_MANIFEST_FILES}" PARENT_SCOPE)
endfunction()

vx_under_prefix(vx_unit_dir "${VX_UNIT_DIR}")
vx_under_prefix(vx_host "${VX_HOST}")
vx_exec_start_path(vx_exec "${vx_host}")

file(READ "${VX_UNIT_IN}" vx_unit)
string(REGEX REPLACE "\nExecStart=[^ \n]*" "\nExecStart=${vx_exec}" vx_unit "${vx_unit}")
vx_write_installed("$ENV{DESTDIR}${vx_unit_dir}/vantorix-widget-host.service" "${vx_unit}")

# GNU's rule for the configuration folder: /etc for the prefix /usr, etc under any other.
if(VX_AUTOSTART_DIR)
  vx_under_prefix(vx_autostart_dir "${VX_AUTOSTART_DIR}")
elseif(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  set(vx_autostart_dir /etc/xdg/autostart)
else()
  set(vx_autostart_dir "${CMAKE_INSTALL_PREFIX}/etc/xdg/autostart")
endif()
vx_desktop_exec_path(vx_desktop_exec "${vx_host}")
# An entry with its Exec= starting the installed host. Not a regular expression's replacement,
# which would take the backslashes for its own.
function(vx_write_entry in out)
  file(READ "${in}" entry)
  string(REPLACE "\nExec=vantorix-widget-host " "\nExec=${vx_desktop_exec} " entry "${entry}")
  vx_write_installed("${out}" "${entry}")
  set(CMAKE_INSTALL_MANIFEST_FILES "${CMAKE_INSTALL_MANIFEST_FILES}" PARENT_SCOPE)
endfunction()
vx_write_entry("${VX_AUTOSTART_IN}" "$ENV{DESTDIR}${vx_autostart_dir}/vantorix-widget-host.desktop")
vx_under_prefix(vx_applications_dir "${VX_APPLICATIONS_DIR}")
vx_write_entry("${VX_GALLERY_IN}" "$ENV{DESTDIR}${vx_applications_dir}/vantorix-widget-gallery.desktop")
