# Included after the project() of the Windows build (see mingw-w64.cmake): libraries found by name
# are static archives, never the import libraries of DLLs. Qt and QCustomPlot, which the desktop
# application does load as DLLs, come from their package files, which name their import
# libraries by path.
set(CMAKE_FIND_LIBRARY_SUFFIXES ".a")
