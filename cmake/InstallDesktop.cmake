# Run by cmake --install: the launcher on the PATH and the desktop menu entry, written for the
# prefix given at install time. VISTREL_PROGRAM_SUBDIR and VISTREL_DESKTOP_TEMPLATE are set by
# the install rule that runs this script.
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(program "${CMAKE_INSTALL_PREFIX}/${VISTREL_PROGRAM_SUBDIR}/vistrel101")

# A relative link, so the installed tree can be moved as a whole; the program finds its folder
# through the link.
file(MAKE_DIRECTORY "${root}/bin")
file(REMOVE "${root}/bin/vistrel")
file(CREATE_LINK "../${VISTREL_PROGRAM_SUBDIR}/vistrel101" "${root}/bin/vistrel" SYMBOLIC)
message(STATUS "Installing: ${root}/bin/vistrel")

# Exec takes a quoted path, with ", `, $ and \ escaped as desktop entries escape them; % is
# doubled for the field codes.
set(exec "${program}")
foreach(special "\\" "\"" "`" "$")
    string(REPLACE "${special}" "\\${special}" exec "${exec}")
endforeach()
string(REPLACE "%" "%%" exec "${exec}")
set(VISTREL_DESKTOP_EXEC "\"${exec}\"")
configure_file("${VISTREL_DESKTOP_TEMPLATE}" "${root}/share/applications/vistrel.desktop" @ONLY)
message(STATUS "Installing: ${root}/share/applications/vistrel.desktop")
