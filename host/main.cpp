// Entry point of setup.exe.
#include <windows.h>

#include "host/setup_process.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  return RunSetupProgram(instance);
}

// Three services of the C runtime's start-up that the program never needs,
// replaced by empty ones so that their code (3.6 KB) stays out of it:
// - relocations of data imported from DLLs: the program imports functions
//   only, and the linker makes no such relocations;
// - the hook for floating-point errors of the maths library: the program
//   does no floating-point maths;
// - the filter that turns processor exceptions into C signals: the program
//   installs no signal handlers, so every exception goes on to Windows.
extern "C" char __RUNTIME_PSEUDO_RELOC_LIST__[];
extern "C" char __RUNTIME_PSEUDO_RELOC_LIST_END__[];

extern "C" __attribute__((used, externally_visible)) void
_pei386_runtime_relocator() {
  // Should a change ever make the linker write relocations, the program
  // must not run with them undone.
  if (__RUNTIME_PSEUDO_RELOC_LIST__ != __RUNTIME_PSEUDO_RELOC_LIST_END__) {
    MessageBoxA(nullptr, "Internal error.", "Setup", MB_OK | MB_ICONERROR);
    ExitProcess(3);
  }
}

extern "C" __attribute__((used, externally_visible)) int _matherr(void*) {
  return 0;
}

extern "C" __attribute__((used, externally_visible))
LPTOP_LEVEL_EXCEPTION_FILTER __mingw_oldexcpt_handler = nullptr;

extern "C" __attribute__((used, externally_visible)) LONG WINAPI
_gnu_exception_handler(EXCEPTION_POINTERS*) {
  return EXCEPTION_CONTINUE_SEARCH;
}
