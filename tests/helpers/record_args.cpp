// A stand-in for the programs a script starts: appends its own file name,
// its command line and its working directory to record.txt beside itself,
// and exits with the code of a word "exit=N" (0 without one). With the word
// "send" it first sends a message to its parent's main window and waits for
// the answer, as a child that broadcasts a change does, and records whether
// the answer came ("answered") or 20 seconds passed ("unanswered").
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

static DWORD ParentProcessId() {
  DWORD self = GetCurrentProcessId(), parent = 0;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more;
       more = Process32Next(snapshot, &entry)) {
    if (entry.th32ProcessID == self) parent = entry.th32ParentProcessID;
  }
  CloseHandle(snapshot);
  return parent;
}

struct Search {
  DWORD process;
  HWND found;
};

static BOOL CALLBACK NoteMainWindow(HWND window, LPARAM lParam) {
  Search* search = reinterpret_cast<Search*>(lParam);
  char name[32];
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == search->process && GetClassNameA(window, name, sizeof name) &&
      strcmp(name, "Install") == 0) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

static const char* SendToParent() {
  Search search = {ParentProcessId(), nullptr};
  EnumWindows(NoteMainWindow, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return "no window";
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(search.found, WM_SETTINGCHANGE, 0, 0, SMTO_NORMAL,
                             20000, &result)
             ? "answered"
             : "unanswered";
}

static void RecordCall(const char* commandLine, const char* sent) {
  char self[MAX_PATH], directory[MAX_PATH], record[MAX_PATH];
  GetModuleFileNameA(nullptr, self, sizeof self);
  GetCurrentDirectoryA(sizeof directory, directory);
  snprintf(record, sizeof record, "%s", self);
  char* cut = strrchr(record, '\\');
  if (cut) snprintf(cut + 1, sizeof record - (cut + 1 - record), "record.txt");
  FILE* out = fopen(record, "ab");
  if (!out) return;
  const char* name = strrchr(self, '\\');
  fprintf(out, "%s|%s|%s%s%s\r\n", name ? name + 1 : self, commandLine, directory,
          sent ? "|" : "", sent ? sent : "");
  fclose(out);
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const char* commandLine = GetCommandLineA();
  const char* sent = strstr(commandLine, " send") ? SendToParent() : nullptr;
  RecordCall(commandLine, sent);
  const char* exitWord = strstr(commandLine, "exit=");
  return exitWord ? atoi(exitWord + 5) : 0;
}
