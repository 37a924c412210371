// A COM server stand-in: its registration entries append "register" or
// "unregister" to <its own file name>.log beside it and return the result
// it was built with. Built with and without the entries, and in a variant
// that needs a sibling DLL from its own directory.
#include <windows.h>

#include <cstdio>

static HMODULE g_self;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_self = instance;
  return TRUE;
}

#ifdef VORN_NEEDS_SIBLING
extern "C" __declspec(dllimport) int SiblingValue();
#endif

#ifdef VORN_IS_SIBLING
extern "C" __declspec(dllexport) int SiblingValue() { return 7; }
#endif

#ifdef VORN_WITH_ENTRIES
static HRESULT Record(const char* what) {
  char log[MAX_PATH + 8];
  DWORD length = GetModuleFileNameA(g_self, log, MAX_PATH);
  snprintf(log + length, sizeof log - length, ".log");
  FILE* out = fopen(log, "ab");
  if (out) {
    fprintf(out, "%s\r\n", what);
    fclose(out);
  }
#ifdef VORN_NEEDS_SIBLING
  if (SiblingValue() != 7) return E_FAIL;
#endif
  return VORN_RESULT;
}

extern "C" __declspec(dllexport) HRESULT DllRegisterServer() {
  return Record("register");
}
extern "C" __declspec(dllexport) HRESULT DllUnregisterServer() {
  return Record("unregister");
}
#else
extern "C" __declspec(dllexport) int NoEntries() { return 0; }
#endif
