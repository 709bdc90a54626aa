# Cross build for 32-bit Windows with Debian's MinGW-w64 (posix thread model,
# which has std::mutex and std::thread).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(ZORBEL_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${ZORBEL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZORBEL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ZORBEL_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ZORBEL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The programs need no DLL beyond the system's.
# No link time stamped in the executables, so that the same sources give the same bytes.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp")
