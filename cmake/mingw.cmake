# Cross-builds the Windows programs with mingw-w64 on Debian, for TAVRIK_WIN_ARCH (set by the
# toolchain file that includes this one). The win32 thread model: nothing here starts a thread,
# and the posix model's winpthread calls functions that Windows XP does not have.
# -static puts libgcc and libstdc++ inside each program, so they need no DLL beyond the system's.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TAVRIK_WIN_ARCH})

set(triple ${TAVRIK_WIN_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-win32)
set(CMAKE_CXX_COMPILER ${triple}-g++-win32)
set(CMAKE_RC_COMPILER ${triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
