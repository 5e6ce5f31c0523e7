# Cross build for 64-bit Windows with mingw-w64 (posix threads); tests run under Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
# Wine's 64-bit loader itself where Debian keeps it: the wine command starts the 32-bit
# loader first when wine32 is installed too, which on a machine that emulates 32-bit
# programs costs a minute a start.
set(LEDGRA_WINE_NAMES wine64 wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
