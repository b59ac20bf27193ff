# Cross-compiling the 64-bit Windows brain on Debian with MinGW-w64
# (package g++-mingw-w64-x86-64-posix).
#
#   cmake -S . -B build/win64 --toolchain cmake/mingw-w64-x86_64.cmake ...
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VANTREL_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
