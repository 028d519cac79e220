# The Windows programs as shipped: 32-bit.
set(TAVRIK_WIN_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
# The tests run them under Wine's 32-bit loader, which needs a host that runs 32-bit code.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine)
