// A stand-in for the programs a script starts: appends its own file name,
// its command line and its working directory to record.txt beside itself,
// and exits with the code of a word "exit=N" (0 without one). With the word
// "send" it first sends a message to the setup program's main window and
// waits for the answer, as a child that broadcasts a change does.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

static void RecordCall(const char* commandLine) {
  char self[MAX_PATH], directory[MAX_PATH], record[MAX_PATH];
  GetModuleFileNameA(nullptr, self, sizeof self);
  GetCurrentDirectoryA(sizeof directory, directory);
  snprintf(record, sizeof record, "%s", self);
  char* cut = strrchr(record, '\\');
  if (cut) snprintf(cut + 1, sizeof record - (cut + 1 - record), "record.txt");
  FILE* out = fopen(record, "ab");
  if (!out) return;
  const char* name = strrchr(self, '\\');
  fprintf(out, "%s|%s|%s\r\n", name ? name + 1 : self, commandLine, directory);
  fclose(out);
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const char* commandLine = GetCommandLineA();
  RecordCall(commandLine);
  if (strstr(commandLine, " send")) {
    HWND setup = FindWindowA("Install", nullptr);
    if (setup) SendMessageA(setup, WM_SETTINGCHANGE, 0, 0);
  }
  const char* exitWord = strstr(commandLine, "exit=");
  return exitWord ? atoi(exitWord + 5) : 0;
}
