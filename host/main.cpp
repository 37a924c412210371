// Entry point of setup.exe.
#include <windows.h>

#include "host/setup_process.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  return RunSetupProgram(instance);
}
