# What ships for Windows: one folder with the executables. The CLI and the simulator are linked
# statically and need nothing beside them. The portable ZIP (CPack) holds that folder.
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
foreach(licence IN LISTS VX_LICENCES)
    string(REPLACE "=" ";" licence "${licence}")
    list(GET licence 0 name)
    list(GET licence 1 package)
    install(FILES /usr/share/doc/${package}/copyright DESTINATION licences RENAME ${name}.txt)
endforeach()

set(CPACK_PACKAGE_NAME vx6207app)
set(CPACK_PACKAGE_VENDOR "ZORVI")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Companion for the VX6207 resistance meter and its 42-channel MUX")
set(CPACK_SYSTEM_NAME windows-x86_64)
set(CPACK_GENERATOR ZIP)
set(CPACK_STRIP_FILES ON)
include(CPack)
