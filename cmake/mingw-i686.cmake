# Cross-compiles the 32-bit Windows build with mingw-w64. It is built, not
# run: this machine's Wine runs 64-bit programs only.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KORAVEL_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
