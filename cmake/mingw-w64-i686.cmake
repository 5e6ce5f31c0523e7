# Cross build for 32-bit Windows with mingw-w64 (posix threads), for a 32-bit host whose
# libraries only a 32-bit program can load; tests run under 32-bit Wine (Debian's wine
# command, which starts the 32-bit loader of wine32).
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
set(LEDGRA_WINE_NAMES wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
