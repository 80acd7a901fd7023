# cmake --install: the program folder (the program, its two libraries, ReadMe.txt and the user
# guide with its pictures) under PREFIX/lib/vistrel, the launchers PREFIX/bin/vistrel and
# vistrel101, the desktop menu entry with its icon, the systemd user unit and the man page.
set(VISTREL_PROGRAM_SUBDIR lib/vistrel)
install(TARGETS vistrel101 pelcodec pelimage
        RUNTIME DESTINATION ${VISTREL_PROGRAM_SUBDIR}
        LIBRARY DESTINATION ${VISTREL_PROGRAM_SUBDIR})
install(FILES ${PROJECT_SOURCE_DIR}/ReadMe.txt ${VISTREL_PROGRAM_DIR}/UserGuide.html
        DESTINATION ${VISTREL_PROGRAM_SUBDIR})
install(DIRECTORY ${VISTREL_PROGRAM_DIR}/docs DESTINATION ${VISTREL_PROGRAM_SUBDIR})
install(FILES ${PROJECT_SOURCE_DIR}/desktop/vistrel.svg
        DESTINATION share/icons/hicolor/scalable/apps)

# The man page, compressed as Debian wants it (no name or time stamp in the gzip header, so
# that two builds give the same bytes).
set(VISTREL_MAN_PAGE ${CMAKE_BINARY_DIR}/vistrel101.1.gz)
add_custom_command(OUTPUT ${VISTREL_MAN_PAGE}
                   COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/package/vistrel101.1 > ${VISTREL_MAN_PAGE}
                   DEPENDS ${PROJECT_SOURCE_DIR}/package/vistrel101.1)
add_custom_target(vistrel_man_page ALL DEPENDS ${VISTREL_MAN_PAGE})
install(FILES ${VISTREL_MAN_PAGE} DESTINATION share/man/man1)

install(CODE "set(VISTREL_PROGRAM_SUBDIR \"${VISTREL_PROGRAM_SUBDIR}\")
set(VISTREL_DESKTOP_TEMPLATE \"${PROJECT_SOURCE_DIR}/desktop/vistrel.desktop.in\")
set(VISTREL_SERVICE_TEMPLATE \"${PROJECT_SOURCE_DIR}/desktop/vistrel.service.in\")")
install(SCRIPT ${PROJECT_SOURCE_DIR}/cmake/InstallDesktop.cmake)
