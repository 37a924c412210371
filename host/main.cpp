// Entry point of setup.exe. The process starts here, without the C
// runtime's start-up code: msvcrt.dll readies itself when it is loaded,
// the program reads its command line itself and has no thread-local data,
// so all that is left to do is to construct the few static objects and to
// end the process with the run's exit code.
#include <windows.h>

#include "host/setup_process.h"

typedef void (*StaticConstructor)();
// The linker's list: a -1 (or a count), the constructors, then a null.
extern "C" StaticConstructor __CTOR_LIST__[];

// Static objects live as long as the process: it ends with ExitProcess,
// which closes whatever they hold, so their destructors are never queued.
extern "C" int atexit(void (*)(void)) { return 0; }

static void ConstructStatics() {
  size_t count = 0;
  while (__CTOR_LIST__[count + 1]) ++count;
  for (size_t i = count; i > 0; --i) __CTOR_LIST__[i]();  // the last first
}

// The name the linker starts a windowed program at; kept by name, since
// nothing in the program calls it. Windows calls it with the stack only
// 4-byte aligned on i686.
extern "C" __attribute__((used, externally_visible, force_align_arg_pointer,
                          noreturn)) void WinMainCRTStartup() {
  ConstructStatics();
  ExitProcess(static_cast<UINT>(RunSetupProgram(GetModuleHandleA(nullptr))));
}
