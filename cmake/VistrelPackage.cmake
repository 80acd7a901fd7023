# cpack: the Debian package vistrel_<version>_<arch>.deb of a system install under /usr, from
# the install rules above. Its dependencies are read from the binaries (dpkg-shlibdeps), plus
# the platform plugins a window needs (loaded by Qt at run time, so not seen there).
install(FILES ${PROJECT_SOURCE_DIR}/package/copyright DESTINATION share/doc/vistrel)
set(VISTREL_CHANGELOG ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${VISTREL_CHANGELOG}
                   COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/package/changelog > ${VISTREL_CHANGELOG}
                   DEPENDS ${PROJECT_SOURCE_DIR}/package/changelog)
add_custom_target(vistrel_changelog ALL DEPENDS ${VISTREL_CHANGELOG})
install(FILES ${VISTREL_CHANGELOG} DESTINATION share/doc/vistrel)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vistrel)
set(CPACK_PACKAGE_CONTACT "The Vistrel developers <vistrel@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "camera that answers e-mail with a still")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Vistrel checks one POP3 or IMAP mailbox; for each request from an accepted\n"
       "sender it grabs a still from a V4L2 camera, prepares it (reduce, rotate,\n"
       "256 colours, JPEG, PNG or GIF) and mails it back over SMTP. It runs with a\n"
       "window on a desktop, or without one (--headless) as a systemd user service.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://vistrel.example.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic")
include(CPack)
