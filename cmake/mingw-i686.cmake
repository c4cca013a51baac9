# Cross-compiles the 32-bit Windows build with mingw-w64. Test programs run
# under Wine (with Debian's wine32) through cmake/wine-run.sh.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KORAVEL_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
# SSE2 doubles, as on x86_64, so geometry rounds the same on both builds
# (x87 registers carry extra precision into comparisons).
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
