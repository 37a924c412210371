// setup.exe's own operator new and delete, over the allocation seam. The
// program allocates through MemAlloc and handles null itself; these replace
// the compiler runtime's throwing versions so that its exception machinery
// never reaches the program. Should one fail all the same, the program says
// so and ends instead of crashing.
#include <windows.h>

#include <cstddef>

#include "script/memory.h"

[[noreturn]] static void EndWith(const char* text, UINT exitCode) {
  MessageBoxA(nullptr, text, "Setup", MB_OK | MB_ICONERROR);
  ExitProcess(exitCode);
}

void* operator new(size_t size) {
  void* block = MemAlloc(size);
  if (!block) EndWith("Out of memory.", 1);
  return block;
}

void* operator new[](size_t size) { return operator new(size); }
void operator delete(void* block) noexcept { MemFree(block); }
void operator delete[](void* block) noexcept { MemFree(block); }
void operator delete(void* block, size_t) noexcept { MemFree(block); }
void operator delete[](void* block, size_t) noexcept { MemFree(block); }

// A pure virtual function called through a half-built or destroyed object:
// a program fault, ended without the runtime's verbose terminate handler.
extern "C" void __cxa_pure_virtual() { EndWith("Internal error.", 3); }
