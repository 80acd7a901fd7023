# Run by cmake --install: the launchers on the PATH, the desktop menu entry and the systemd
# user unit, written for the prefix given at install time. VISTREL_PROGRAM_SUBDIR,
# VISTREL_DESKTOP_TEMPLATE and VISTREL_SERVICE_TEMPLATE are set by the install rule that runs
# this script.
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(program "${CMAKE_INSTALL_PREFIX}/${VISTREL_PROGRAM_SUBDIR}/vistrel101")

# Relative links, so the installed tree can be moved as a whole; the program finds its folder
# through the link. vistrel for the desktop user, vistrel101 as the man page names it.
file(MAKE_DIRECTORY "${root}/bin")
foreach(launcher vistrel vistrel101)
    file(REMOVE "${root}/bin/${launcher}")
    file(CREATE_LINK "../${VISTREL_PROGRAM_SUBDIR}/vistrel101" "${root}/bin/${launcher}" SYMBOLIC)
    message(STATUS "Installing: ${root}/bin/${launcher}")
endforeach()

# The man page under the desktop launcher's name too.
file(MAKE_DIRECTORY "${root}/share/man/man1")
file(REMOVE "${root}/share/man/man1/vistrel.1.gz")
file(CREATE_LINK "vistrel101.1.gz" "${root}/share/man/man1/vistrel.1.gz" SYMBOLIC)

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

# systemd reads the user units of the system under /usr/lib and a user's own under
# ~/.local/share. ExecStart takes a quoted path with " and \ escaped, $ and % doubled.
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
    set(units "${root}/lib/systemd/user")
else()
    set(units "${root}/share/systemd/user")
endif()
set(exec "${program}")
foreach(special "\\" "\"")
    string(REPLACE "${special}" "\\${special}" exec "${exec}")
endforeach()
string(REPLACE "$" "$$" exec "${exec}")
string(REPLACE "%" "%%" exec "${exec}")
set(VISTREL_SERVICE_EXEC "\"${exec}\"")
configure_file("${VISTREL_SERVICE_TEMPLATE}" "${units}/vistrel.service" @ONLY)
message(STATUS "Installing: ${units}/vistrel.service")
