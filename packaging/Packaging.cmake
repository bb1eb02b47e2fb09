# SPDX-License-Identifier: GPL-2.0-or-later
# The Debian binary package, made by CPack: `cpack -G DEB` in the build folder.

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(kro_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/kro-sosreport)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION ${kro_doc_dir})
kro_install_gzipped(${CMAKE_CURRENT_LIST_DIR}/changelog ${kro_doc_dir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kro-sosreport)
set(CPACK_PACKAGE_VENDOR "Kro")
set(CPACK_PACKAGE_CONTACT "System report center developers <sos-reports@kro-linux.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "collect, protect and send diagnostic reports")
set(CPACK_PACKAGE_DESCRIPTION
    "System report center collects a diagnostic report of the computer with
sosreport, lists the report archives, protects one with a password and sends
it by e-mail. It also switches system services into a debug mode and back,
each service described by a debug module. Administrator work is done by a
small helper service that asks polkit first.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Found by dpkg-shlibdeps: Qt 5. Named here: the programs run at run time, the bus and polkit
# that start and guard the helper, the SVG plugin that draws the icons, hicolor, the theme every
# icon theme falls back to, where the application's own icon is installed (the window's other
# icons come with the application for the themes that lack them, so no particular icon theme is
# needed), libcurl and libcrypto (opened by the first upload, so dpkg-shlibdeps cannot see them)
# and the system's certificates that uploads are checked against.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "sosreport, ccrypt, zip, procps, dbus, polkitd, libqt5svg5, hicolor-icon-theme, libcurl4, libssl3, ca-certificates")
# Qt's own texts (standard buttons and dialogs) in the user's language, and xdg-utils, which
# hands the attachment to any mail program but one. Desktops bring their own polkit agent (GNOME
# Shell and KDE Plasma have one built in or installed), so an agent is only suggested, as is the
# mail program that takes attachments.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qttranslations5-l10n, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS
    "policykit-1-gnome | polkit-kde-agent-1 | lxpolkit | mate-polkit, thunderbird")
include(CPack)
