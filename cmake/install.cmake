# Where `cmake --install` puts the programs (standard GNU locations under the prefix):
#
#   bin/keyferry, bin/vantorix-widget-host
#   bin/vantorix-widgets            -> ../libexec/vantorix-widgets/vantorix-widgets
#   libexec/vantorix-widgets/       the extension: its executable and, beside it, the bundle
#                                   "vantorix-widgets.bundle/Contents/Info.plist"
#   lib/<multiarch>/nodejs/panelnudge/  the Node module: package.json + panelnudge.node
#   lib/systemd/user/               the widget host's user service and socket
#   etc/xdg/autostart/              the widget host's autostart entry (/etc/xdg/autostart for
#                                   the prefix /usr)
#   share/applications/             the gallery's entry, "Vantorix Widgets"
#   share/icons/hicolor/scalable/apps/  its icon, vantorix-widgets.svg
#   share/doc/vantorix-widgets/     README.md (doc/README.user.md), copyright
#   share/man/man1/                 the programs' manual pages
#
# Every program finds what it needs from its own location (/proc/self/exe), so an installation
# works under any prefix: the extension's bundle sits beside its real executable (the link in
# bin/ resolves to it), and the widget host runs the vantorix-widgets beside itself.
# Debian names the documentation folder after the package.
set(CMAKE_INSTALL_DOCDIR share/doc/vantorix-widgets)
include(GNUInstallDirs)

# Node looks for compiled modules in the architecture's own library folder (Debian's layout).
if(CMAKE_LIBRARY_ARCHITECTURE)
  set(vx_nodedir "lib/${CMAKE_LIBRARY_ARCHITECTURE}/nodejs")
else()
  set(vx_nodedir "${CMAKE_INSTALL_LIBDIR}/nodejs")
endif()
set(VX_INSTALL_NODEDIR "${vx_nodedir}" CACHE PATH
    "Folder, under the prefix, that receives the Node module's package folder")
set(VX_INSTALL_USERUNITDIR "lib/systemd/user" CACHE PATH
    "Folder, under the prefix, of the systemd user units")
set(VX_INSTALL_AUTOSTARTDIR "" CACHE PATH
    "Folder of the autostart entry (default: etc/xdg/autostart under the prefix, /etc/... for /usr)")
set(vx_extension_dir "${CMAKE_INSTALL_LIBEXECDIR}/vantorix-widgets")

# The user service and the desktop entries start the installed host rather than a copy in
# ~/.local/bin. The prefix is known only when installing (`cmake --install --prefix`, or the
# package's /usr), so they are written then (cmake/install_user_unit.cmake), first: a prefix
# systemd could not start the host from stops the installation before anything is copied.
install(CODE "
  set(VX_UNIT_IN [[${PROJECT_SOURCE_DIR}/src/desktop/systemd/vantorix-widget-host.service]])
  set(VX_UNIT_DIR [[${VX_INSTALL_USERUNITDIR}]])
  set(VX_AUTOSTART_IN [[${PROJECT_SOURCE_DIR}/src/desktop/xdg/vantorix-widget-host.desktop]])
  set(VX_AUTOSTART_DIR [[${VX_INSTALL_AUTOSTARTDIR}]])
  set(VX_GALLERY_IN [[${PROJECT_SOURCE_DIR}/src/desktop/xdg/vantorix-widget-gallery.desktop]])
  set(VX_APPLICATIONS_DIR [[${CMAKE_INSTALL_DATADIR}/applications]])
  set(VX_HOST [[${CMAKE_INSTALL_BINDIR}/vantorix-widget-host]])
  include([[${PROJECT_SOURCE_DIR}/cmake/install_user_unit.cmake]])
")
install(TARGETS keyferry vantorix-widget-host RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(TARGETS vantorix-widgets RUNTIME DESTINATION ${vx_extension_dir})
install(FILES "$<TARGET_FILE:vantorix-widgets>.bundle/Contents/Info.plist"
        DESTINATION ${vx_extension_dir}/vantorix-widgets.bundle/Contents)
# A relative link, so that the installation can move with its prefix.
file(RELATIVE_PATH vx_extension_link "/${CMAKE_INSTALL_BINDIR}" "/${vx_extension_dir}/vantorix-widgets")
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/install)
file(CREATE_LINK ${vx_extension_link} ${CMAKE_BINARY_DIR}/install/vantorix-widgets SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/install/vantorix-widgets DESTINATION ${CMAKE_INSTALL_BINDIR})

install(TARGETS panelnudge LIBRARY DESTINATION ${VX_INSTALL_NODEDIR}/panelnudge)
install(FILES ${CMAKE_BINARY_DIR}/panelnudge/package.json DESTINATION ${VX_INSTALL_NODEDIR}/panelnudge)

install(FILES ${PROJECT_SOURCE_DIR}/src/desktop/systemd/vantorix-widget-host.socket
        DESTINATION ${VX_INSTALL_USERUNITDIR})
install(FILES ${PROJECT_SOURCE_DIR}/src/desktop/xdg/vantorix-widgets.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Documentation: the user's README and the licence. In the package, debhelper adds the
# changelog (debian/changelog) and installs the same copyright file.
install(FILES ${PROJECT_SOURCE_DIR}/doc/README.user.md DESTINATION ${CMAKE_INSTALL_DOCDIR}
        RENAME README.md)
install(FILES ${PROJECT_SOURCE_DIR}/debian/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

# Manual pages, with the version and date of debian/changelog, compressed as Debian installs them.
foreach(page keyferry vantorix-widgets vantorix-widget-host)
  configure_file(${PROJECT_SOURCE_DIR}/doc/man/${page}.1.in ${CMAKE_BINARY_DIR}/install/${page}.1 @ONLY)
  execute_process(COMMAND gzip -9nc ${CMAKE_BINARY_DIR}/install/${page}.1
                  OUTPUT_FILE ${CMAKE_BINARY_DIR}/install/${page}.1.gz COMMAND_ERROR_IS_FATAL ANY)
  install(FILES ${CMAKE_BINARY_DIR}/install/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
