# Cross-compiles the Windows build with mingw-w64 for x86_64. Test programs
# run under Wine through cmake/wine-run.sh.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KORAVEL_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
