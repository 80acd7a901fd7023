# cmake --install: the program folder (the program, its two libraries, ReadMe.txt and the user
# guide with its pictures) under PREFIX/lib/vistrel, the launcher PREFIX/bin/vistrel, and the
# desktop menu entry with its icon.
set(VISTREL_PROGRAM_SUBDIR lib/vistrel)
install(TARGETS vistrel101 pelcodec pelimage
        RUNTIME DESTINATION ${VISTREL_PROGRAM_SUBDIR}
        LIBRARY DESTINATION ${VISTREL_PROGRAM_SUBDIR})
install(FILES ${PROJECT_SOURCE_DIR}/ReadMe.txt ${VISTREL_PROGRAM_DIR}/UserGuide.html
        DESTINATION ${VISTREL_PROGRAM_SUBDIR})
install(DIRECTORY ${VISTREL_PROGRAM_DIR}/docs DESTINATION ${VISTREL_PROGRAM_SUBDIR})
install(FILES ${PROJECT_SOURCE_DIR}/desktop/vistrel.svg
        DESTINATION share/icons/hicolor/scalable/apps)
install(CODE "set(VISTREL_PROGRAM_SUBDIR \"${VISTREL_PROGRAM_SUBDIR}\")
set(VISTREL_DESKTOP_TEMPLATE \"${PROJECT_SOURCE_DIR}/desktop/vistrel.desktop.in\")")
install(SCRIPT ${PROJECT_SOURCE_DIR}/cmake/InstallDesktop.cmake)
