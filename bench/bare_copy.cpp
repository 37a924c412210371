// The bare loops the benchmarks compare setup.exe with: a tree copy made of
// FindFirstFile, CreateDirectory and CopyFile calls and nothing else, and a
// walk of the fixed drives' directories.
//   bare_copy copy SOURCE DESTINATION
//   bare_copy copy-replace SOURCE DESTINATION   (each file renamed over the old)
//   bare_copy copy-gui SOURCE DESTINATION   (with a window, as setup.exe)
//   bare_copy walk
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

// How a file is put in place: straight over the old one, or written whole
// beside it and renamed over it (the least any copy that keeps the old
// file on failure must do).
static bool g_replaceInOneStep = false;

static void CopyOne(const std::string& source, const std::string& destination) {
  if (!g_replaceInOneStep) {
    CopyFileA(source.c_str(), destination.c_str(), FALSE);
    return;
  }
  std::string fresh = destination + ".~vn";
  if (CopyFileA(source.c_str(), fresh.c_str(), TRUE)) {
    MoveFileExA(fresh.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING);
  }
}

static void CopyTree(const std::string& source, const std::string& destination) {
  CreateDirectoryA(destination.c_str(), nullptr);
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((source + "\\*.*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      CopyTree(source + "\\" + name, destination + "\\" + name);
    } else {
      CopyOne(source + "\\" + name, destination + "\\" + name);
    }
  } while (FindNextFileA(find, &found));
  FindClose(find);
}

static long Walk(const std::string& directory) {
  long entries = 0;
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((directory + "\\*.*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return 0;
  do {
    std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    ++entries;
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
        !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      entries += Walk(directory + "\\" + name);
    }
  } while (FindNextFileA(find, &found));
  FindClose(find);
  return entries;
}

int main(int argc, char** argv) {
  if (argc == 4 && strcmp(argv[1], "copy") == 0) {
    CopyTree(argv[2], argv[3]);
    return 0;
  }
  if (argc == 4 && strcmp(argv[1], "copy-replace") == 0) {
    g_replaceInOneStep = true;
    CopyTree(argv[2], argv[3]);
    return 0;
  }
  // The same loop in a process with a (hidden) window and a message queue,
  // as setup.exe is.
  if (argc == 4 && strcmp(argv[1], "copy-gui") == 0) {
    HWND window = CreateWindowExA(0, "STATIC", "bare", WS_OVERLAPPEDWINDOW, 0, 0,
                                  100, 100, nullptr, nullptr, nullptr, nullptr);
    CopyTree(argv[2], argv[3]);
    DestroyWindow(window);
    return 0;
  }
  if (argc == 2 && strcmp(argv[1], "walk") == 0) {
    long entries = 0;
    DWORD drives = GetLogicalDrives();
    for (int letter = 0; letter < 26; ++letter) {
      char root[] = {static_cast<char>('a' + letter), ':', '\\', 0};
      if (!((drives >> letter) & 1)) continue;
      UINT type = GetDriveTypeA(root);
      if (type == DRIVE_FIXED || type == DRIVE_NO_ROOT_DIR) {
        entries += Walk(std::string(root, 2));
      }
    }
    printf("%ld\n", entries);
    return 0;
  }
  fprintf(stderr, "usage: bare_copy copy SOURCE DESTINATION | bare_copy walk\n");
  return 2;
}
