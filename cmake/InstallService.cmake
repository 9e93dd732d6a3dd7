# What `cmake --install` adds to the programs and libraries for cimhost to run as a service: the
# schema, the systemd unit and its configuration file, man pages, bash completion; and the Debian
# package CPack makes from all of it (cpack -G DEB in the build tree).
install(DIRECTORY ${PROJECT_SOURCE_DIR}/schema/ DESTINATION ${SCS_INSTALL_SCHEMA_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/dist/man/scsctl.1 DESTINATION share/man/man1)
install(FILES ${PROJECT_SOURCE_DIR}/dist/man/cimhost.8 ${PROJECT_SOURCE_DIR}/dist/man/cimhost-passwd.8
    DESTINATION share/man/man8)
install(FILES ${PROJECT_SOURCE_DIR}/dist/bash-completion/scsctl DESTINATION share/bash-completion/completions)

# The configuration lives in /etc when installed under /usr (as the package is), else under the
# prefix; the unit names both as they are where it is installed, so it is written at install time.
install(CODE "set(SCS_DIST \"${PROJECT_SOURCE_DIR}/dist\")")
install(CODE [[
    if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
        set(CIMHOST_ETC "/etc/cimhost")
    else()
        set(CIMHOST_ETC "${CMAKE_INSTALL_PREFIX}/etc/cimhost")
    endif()
    set(CIMHOST_PREFIX "${CMAKE_INSTALL_PREFIX}")
    set(CIMHOST_CONFIG "${CIMHOST_ETC}/cimhost.conf")
    file(INSTALL "${SCS_DIST}/cimhost.conf" DESTINATION "${CIMHOST_ETC}")
    # Written straight to its place: installs into other prefixes (cpack's among them) may run at
    # the same time and must not share an intermediate file.
    set(unit "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/lib/systemd/system/cimhost.service")
    message(STATUS "Installing: ${unit}")
    configure_file("${SCS_DIST}/cimhost.service.in" "${unit}" @ONLY)
]])

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME cimhost)
set(CPACK_PACKAGE_VENDOR "Zarvo")
set(CPACK_PACKAGE_CONTACT "storage team <storage@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "CIM-XML server of the storage array's provider modules, with scsctl, its command line")
# The package installs under /usr whatever the build's prefix; the configuration file then goes to an
# absolute /etc path (above), which DESTDIR keeps inside the package.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${PROJECT_SOURCE_DIR}/dist/debian/conffiles")
include(CPack)
