# `cpack -G DEB` in the build folder: one Debian package holding what `cmake --install` installs.
# Its library dependencies are derived from the installed programs by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME vantorix-widgets)
set(CPACK_PACKAGE_VENDOR Vantorix)
set(CPACK_PACKAGE_CONTACT "Vantorix widgets developers <widgets@vantorix.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Vantorix desktop widgets for Linux")
set(CPACK_PACKAGE_DESCRIPTION [=[
Desktop widgets showing each Vantorix project's visitors, goal results and
revenue, the visitors on the site right now, and the conversations and
articles waiting on the user. The package holds the widget extension,
keyferry (hands the signed-in session to the widgets), the widget host with
its systemd user service, and the panelnudge Node module.]=])
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The widgets draw with this font (any other one stands in when it is missing), and emoji in names
# and previews with the colour emoji font (without it they draw as empty boxes); the module is of
# use only to node.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-inter, fonts-noto-color-emoji")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS nodejs)
set(CPACK_DEBIAN_PACKAGE_PROVIDES node-panelnudge)

include(CPack)
