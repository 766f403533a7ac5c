# What ships for Windows: one folder with the executables. The CLI and the simulator are linked
# statically and need nothing beside them; the desktop application needs the Qt and QCustomPlot
# DLLs, Qt's platform and style plugins (looked up in the executable's folder) and MinGW's thread
# library. The portable ZIP (CPack) and the installer (NSIS, vx-installer) hold that folder.
foreach(target vx6207-app vx6207-cli vx6207-sim)
    if(TARGET ${target})
        install(TARGETS ${target} RUNTIME DESTINATION .)
    endif()
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION . RENAME COPYRIGHT.txt)
# The terms of the libraries inside the package: the copyright files of the Debian packages whose
# sources were built (the host's packages of the same source and version).
set(VX_LICENCES libxlsxwriter=libxlsxwriter-dev libzip=libzip-dev expat=libexpat1-dev zlib=libz-mingw-w64-dev
    gcc-runtime=gcc-mingw-w64-x86-64-posix-runtime mingw-w64=mingw-w64-x86-64-dev)
if(TARGET vx6207-app)
    list(APPEND VX_LICENCES qt=libqt6core6 qcustomplot=libqcustomplot2.1-qt6)
endif()
foreach(licence IN LISTS VX_LICENCES)
    string(REPLACE "=" ";" licence "${licence}")
    list(GET licence 0 name)
    list(GET licence 1 package)
    install(FILES /usr/share/doc/${package}/copyright DESTINATION licences RENAME ${name}.txt)
endforeach()
# The full texts those files name by their Debian place.
if(TARGET vx6207-app)
    foreach(text GPL-3 LGPL-3)
        install(FILES /usr/share/common-licenses/${text} DESTINATION licences RENAME ${text}.txt)
    endforeach()
endif()

if(TARGET vx6207-app)
    install(IMPORTED_RUNTIME_ARTIFACTS Qt6::Core Qt6::Gui Qt6::Widgets Qt6::PrintSupport
        QCustomPlotQt6::QCustomPlotQt6 RUNTIME DESTINATION .)
    install(IMPORTED_RUNTIME_ARTIFACTS Qt6::QWindowsIntegrationPlugin LIBRARY DESTINATION platforms)
    install(IMPORTED_RUNTIME_ARTIFACTS Qt6::QWindowsVistaStylePlugin LIBRARY DESTINATION styles)
    # The Qt DLLs carry GCC's runtime inside; only the POSIX threads library is a DLL of its own.
    find_file(VX_WINPTHREAD_DLL libwinpthread-1.dll PATH_SUFFIXES lib bin REQUIRED)
    install(FILES ${VX_WINPTHREAD_DLL} DESTINATION .)
    include(${CMAKE_CURRENT_LIST_DIR}/WindowsInstaller.cmake)
endif()

set(CPACK_PACKAGE_NAME vx6207app)
set(CPACK_PACKAGE_VENDOR "ZORVI")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Companion for the VX6207 resistance meter and its 42-channel MUX")
set(CPACK_SYSTEM_NAME windows-x86_64)
set(CPACK_GENERATOR ZIP)
set(CPACK_STRIP_FILES ON)
include(CPack)
