# The Windows build's artefact: a zip of the command-line tool and the simulator. They are linked
# statically, so they need no DLLs beyond the system's (ws2_32, setupapi and the C runtime).
foreach(target vx6207-cli vx6207-sim)
    if(TARGET ${target})
        install(TARGETS ${target} RUNTIME DESTINATION .)
    endif()
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)

set(CPACK_PACKAGE_NAME vx6207app)
set(CPACK_PACKAGE_VENDOR "ZORVI")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Companion for the VX6207 resistance meter and its 42-channel MUX")
set(CPACK_SYSTEM_NAME windows-x86_64)
set(CPACK_GENERATOR ZIP)
set(CPACK_STRIP_FILES ON)
include(CPack)
