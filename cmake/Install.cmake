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

if(TARGET vx6207-cli)
    set(VX_MAN_PAGE ${CMAKE_BINARY_DIR}/vx6207-cli.1)
    add_custom_command(OUTPUT ${VX_MAN_PAGE}
        COMMAND ${CMAKE_COMMAND} -DCLI=$<TARGET_FILE:vx6207-cli> -DOUT=${VX_MAN_PAGE}
            -DVERSION=${PROJECT_VERSION} -P ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
        DEPENDS vx6207-cli ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
        COMMENT "Writing the vx6207-cli manual page from its help")
    add_custom_target(vx-man-page ALL DEPENDS ${VX_MAN_PAGE})
    install(FILES ${VX_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

set(CPACK_PACKAGE_NAME vx6207app)
set(CPACK_PACKAGE_VENDOR "ZORVI")
set(CPACK_PACKAGE_CONTACT "VX6207App maintainers <vx6207app@zorvi.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Companion for the VX6207 resistance meter and its 42-channel MUX")
set(CPACK_PACKAGE_INSTALL_DIRECTORY VX6207App)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# The runtime libraries the executables link against, found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
