# Cross-compiling the 32-bit Windows brain on Debian with MinGW-w64
# (package g++-mingw-w64-i686-posix).
#
#   cmake -S . -B build/win32 --toolchain cmake/mingw-w64-i686.cmake ...
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VANTREL_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
