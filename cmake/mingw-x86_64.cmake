# The Windows programs built for 64 bits, from the same sources: what the tests run under Wine
# on hosts that cannot run 32-bit code.
set(TAVRIK_WIN_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
