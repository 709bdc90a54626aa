# Cross build for 32-bit Windows with Debian's MinGW-w64 (posix thread model,
# which has std::mutex and std::thread).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(ZORBEL_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${ZORBEL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZORBEL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ZORBEL_MINGW_PREFIX}-windres)

# 32-bit Windows calls window, dialog and hook procedures and thread start
# functions with the stack aligned to 4 bytes only, while GCC for i686 assumes
# 16 on entry: a function that keeps an SSE value on its stack would then
# fault on Windows (Wine aligns its callbacks, so no test here would see it).
# Assuming 4 makes each function that needs 16 realign its own stack; it holds
# for all code compiled in the build, the header-only libraries and
# GoogleTest included. (-mstackrealign alone left functions compiled with
# target("sse2") attributes unaligned.) Preferring 4 as well spares the
# functions without vectors a realignment that costs the inflate a register.
set(ZORBEL_STACK_FLAGS "-mincoming-stack-boundary=2 -mpreferred-stack-boundary=2")
set(CMAKE_C_FLAGS_INIT "${ZORBEL_STACK_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "${ZORBEL_STACK_FLAGS}")

set(CMAKE_FIND_ROOT_PATH /usr/${ZORBEL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The programs need no DLL beyond the system's.
# No link time stamped in the executables, so that the same sources give the same bytes.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp")
