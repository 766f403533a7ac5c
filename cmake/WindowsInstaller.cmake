# The installer vx6207app-<version>-setup.exe, made by NSIS from the install tree: the tree is
# staged with stripped binaries, its file lists are written (the uninstaller removes exactly
# those files), then makensis packs it. Built with everything else, so the tests find it.
find_program(VX_MAKENSIS makensis)
if(NOT VX_MAKENSIS)
    message(STATUS "makensis not found: no installer (scripts/bootstrap installs nsis)")
    return()
endif()
set(VX_INSTALLER ${CMAKE_BINARY_DIR}/vx6207app-${PROJECT_VERSION}-setup.exe)
set(VX_INSTALLER_WORK ${CMAKE_BINARY_DIR}/installer)
set(VX_INSTALLER_SCRIPT ${PROJECT_SOURCE_DIR}/packaging/windows/vx6207app.nsi)
add_custom_command(OUTPUT ${VX_INSTALLER}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${VX_INSTALLER_WORK}/stage
    COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --prefix ${VX_INSTALLER_WORK}/stage --strip
    COMMAND ${CMAKE_COMMAND} -DSTAGE=${VX_INSTALLER_WORK}/stage -DOUT=${VX_INSTALLER_WORK}
        -P ${CMAKE_CURRENT_LIST_DIR}/NsisFileList.cmake
    COMMAND ${VX_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DLISTS=${VX_INSTALLER_WORK} -DICON=${VX_APP_ICON}
        -DLICENCE=${PROJECT_SOURCE_DIR}/packaging/copyright -DOUTFILE=${VX_INSTALLER} ${VX_INSTALLER_SCRIPT}
    DEPENDS vx6207-app vx6207-cli vx6207-sim ${VX_APP_ICON} ${VX_INSTALLER_SCRIPT}
        ${CMAKE_CURRENT_LIST_DIR}/NsisFileList.cmake ${CMAKE_CURRENT_LIST_DIR}/InstallWindows.cmake
    COMMENT "Making the installer with NSIS")
add_custom_target(vx-installer ALL DEPENDS ${VX_INSTALLER})
