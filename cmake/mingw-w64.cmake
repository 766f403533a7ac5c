# Cross-compiles the core, the CLI and the simulator for 64-bit Windows with Debian's MinGW-w64
# (the POSIX-threads flavour, for std::thread). Third-party libraries come from the prefix that
# scripts/windows-deps builds (VX_WINDOWS_DEPS), from the Qt that scripts/windows-qt builds
# (VX_WINDOWS_QT) and from Debian's MinGW packages (zlib).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VX_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VX_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VX_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VX_MINGW_TRIPLET}-windres)

set(VX_WINDOWS_DEPS "" CACHE PATH "Prefix of the third-party libraries built for Windows")
set(VX_WINDOWS_QT "" CACHE PATH "Prefix of Qt and QCustomPlot built for Windows")
set(CMAKE_FIND_ROOT_PATH /usr/${VX_MINGW_TRIPLET} ${VX_WINDOWS_DEPS} ${VX_WINDOWS_QT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VX_WINDOWS_DEPS VX_WINDOWS_QT)
# pkg-config sees only the Windows libraries, never the build machine's. (The checks' inner
# projects read this file again without the prefix; they must not undo it.)
if(VX_WINDOWS_DEPS)
    set(ENV{PKG_CONFIG_LIBDIR} "${VX_WINDOWS_DEPS}/lib/pkgconfig:/usr/${VX_MINGW_TRIPLET}/lib/pkgconfig")
    set(ENV{PKG_CONFIG_PATH} "")
endif()

# Self-contained executables: the C and C++ runtimes, threads and zlib are linked in, so the
# programs run from any folder (and under Wine) with only the system's own DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# "-static" alone is not enough: a library found by name (pkg-config's "-lz", find_library) would
# be the import library libz.dll.a, and the programs would need zlib1.dll, which Windows lacks.
# The platform files set the suffixes inside project(), so they are narrowed after it (only for
# this project: Qt's own build, which uses this file too, keeps its defaults).
set(CMAKE_PROJECT_VX6207App_INCLUDE "${CMAKE_CURRENT_LIST_DIR}/mingw-static-libraries.cmake")

# Tests and test discovery run the Windows programs under Wine.
find_program(VX_WINE NAMES wine wine64 PATHS /usr/lib/wine)
if(VX_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${VX_WINE})
endif()
