// Windows XP has no GetTickCount64, and the C++ runtime's thread library calls it for its timed
// waits. The import slot that the runtime calls through is defined here, filled with a function
// of our own, so the linker takes no GetTickCount64 from kernel32 and the programs still load
// on XP. It must be linked as an object of the program itself, ahead of the runtime's archives.
#include <windows.h>

namespace {

ULONGLONG WINAPI tickCount64() {
  LARGE_INTEGER frequency;
  LARGE_INTEGER counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  const LONGLONG perSecond = frequency.QuadPart;
  return static_cast<ULONGLONG>(counter.QuadPart / perSecond * 1000 +
                                counter.QuadPart % perSecond * 1000 / perSecond);
}

}  // namespace

#if defined(__i386__)
#define TAVRIK_IMPORT_SLOT "__imp__GetTickCount64@0"
#else
#define TAVRIK_IMPORT_SLOT "__imp_GetTickCount64"
#endif
extern "C" ULONGLONG(WINAPI* const importedTickCount64)() __asm__(TAVRIK_IMPORT_SLOT);
extern "C" ULONGLONG(WINAPI* const importedTickCount64)() = tickCount64;
