# The part of the MinGW-w64 cross toolchains that both word sizes share; the
# toolchain file that includes it sets CMAKE_SYSTEM_PROCESSOR and
# VANTREL_MINGW_TRIPLE first. The posix thread model is the one whose runtime
# provides std::thread and the timed mutexes.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${VANTREL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VANTREL_MINGW_TRIPLE}-g++-posix)

# Headers and libraries come from the cross sysroot only; programs (cmake's
# own tools) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${VANTREL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
