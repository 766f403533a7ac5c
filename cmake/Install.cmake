# Installation and packages: the executables, the desktop entry with its icons and metadata, the
# settings-file type and the command-line tool's manual page; CPack makes a .deb of the same tree.
include(GNUInstallDirs)

set(VX_APP_ID com.zorvi.VX6207App)
set(VX_DATA_DIR ${PROJECT_SOURCE_DIR}/data)

foreach(target vx6207-app vx6207-cli vx6207-sim)
    if(TARGET ${target})
        install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endforeach()

install(FILES ${VX_DATA_DIR}/${VX_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${VX_DATA_DIR}/${VX_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${VX_DATA_DIR}/${VX_APP_ID}.mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
    RENAME ${VX_APP_ID}.xml)
install(FILES ${VX_DATA_DIR}/icons/${VX_APP_ID}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 32 48 64 128 256)
    install(FILES ${VX_DATA_DIR}/icons/${VX_APP_ID}-${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${VX_APP_ID}.png)
endforeach()

# The manual pages, compressed as Debian wants them: the CLI's and the simulator's are written from
# their own help, the application's (whose options need no display to read) is written by hand.
set(VX_MAN_PAGES)
foreach(program cli sim)
    if(TARGET vx6207-${program})
        string(TOUPPER ${program} kind)
        set(page ${CMAKE_BINARY_DIR}/vx6207-${program}.1)
        add_custom_command(OUTPUT ${page}.gz
            COMMAND ${CMAKE_COMMAND} -D${kind}=$<TARGET_FILE:vx6207-${program}> -DOUT=${page}
                -DVERSION=${PROJECT_VERSION} -P ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
            DEPENDS vx6207-${program} ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
            COMMENT "Writing the vx6207-${program} manual page from its help")
        list(APPEND VX_MAN_PAGES ${page}.gz)
    endif()
endforeach()
set(VX_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
function(vx_gzip source target) # configured with the version, then compressed without a time stamp
    configure_file(${source} ${target} @ONLY)
    add_custom_command(OUTPUT ${target}.gz COMMAND gzip -9nkf ${target} DEPENDS ${source} ${target})
endfunction()
if(TARGET vx6207-app)
    vx_gzip(${VX_PACKAGING_DIR}/vx6207-app.1 ${CMAKE_BINARY_DIR}/vx6207-app.1)
    list(APPEND VX_MAN_PAGES ${CMAKE_BINARY_DIR}/vx6207-app.1.gz)
endif()
vx_gzip(${VX_PACKAGING_DIR}/changelog ${CMAKE_BINARY_DIR}/changelog)
add_custom_target(vx-package-docs ALL DEPENDS ${VX_MAN_PAGES} ${CMAKE_BINARY_DIR}/changelog.gz)
install(FILES ${VX_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# Debian's places: the copyright file and the (native) changelog beside it.
install(FILES ${VX_PACKAGING_DIR}/copyright ${CMAKE_BINARY_DIR}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vx6207app)

set(CPACK_PACKAGE_NAME vx6207app)
set(CPACK_PACKAGE_VENDOR "ZORVI")
set(CPACK_PACKAGE_CONTACT "VX6207App maintainers <vx6207app@zorvi.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Companion for the VX6207 resistance meter and its 42-channel MUX")
set(CPACK_PACKAGE_DESCRIPTION "Connects to a VX6207 family precision DC resistance meter and its
42-channel multiplexer over a serial port or LAN and identifies it; edits,
reads, sends, saves and loads its measurement conditions and runs zero
adjustment; captures readings with comparator judgements, single or whole
MUX scans, by key, external trigger or interval, into CSV/text files or
xlsx workbooks, with a live trend and channel map.
.
The package holds the Qt desktop application vx6207-app, the command-line
tool vx6207-cli for the same jobs without a window, and the instrument
simulator vx6207-sim for trying both without a meter.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY VX6207App)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# Policy's modes: 0755 folders whatever the umask of the build.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
# The runtime libraries the executables link against, found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
