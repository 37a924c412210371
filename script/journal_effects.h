// The effects of a run: every call goes to the real effects, each change to
// the machine that succeeds gets a journal line when a journal is kept
// (failures reach it through the host's failure log), and, with rollback
// armed, the engine's undo log keeps the old state of each change and
// records how to undo it.
#pragma once

#include "script/effects.h"
#include "script/undo_log.h"

struct Engine;

class JournalEffects : public Effects {
 public:
  JournalEffects(Effects& inner, Engine& engine) : inner_(inner), engine_(engine) {}

  Status CopyFile(const char* from, const char* to, bool failIfExists) override;
  Status MoveFileEx(const char* from, const char* to, unsigned flags) override;
  Status DeleteFile(const char* path) override;
  Status GetFileAttributes(const char* path, unsigned long* attributes) override {
    return inner_.GetFileAttributes(path, attributes);
  }
  Status SetFileAttributes(const char* path, unsigned long attributes) override;
  Status CreateDirectory(const char* path) override;
  Status RemoveDirectory(const char* path) override;
  Status FindFirstFile(const char* pattern, FindData* entry, FindRef* find) override {
    return inner_.FindFirstFile(pattern, entry, find);
  }
  Status FindNextFile(FindRef find, FindData* entry) override {
    return inner_.FindNextFile(find, entry);
  }
  void FindClose(FindRef find) override { inner_.FindClose(find); }
  Status ReadWholeFile(const char* path, ByteBuffer* contents) override {
    return inner_.ReadWholeFile(path, contents);
  }
  Status WriteNewFile(const char* path, const char* data, size_t size) override;
  Status AppendToFile(const char* path, const char* data, size_t size) override;
  Status GetTempFileName(const char* directory, const char* prefix,
                         char (&path)[kPathMax]) override;
  Status GetSystemDirectory(char (&path)[kPathMax]) override {
    return inner_.GetSystemDirectory(path);
  }
  Status GetWindowsDirectory(char (&path)[kPathMax]) override {
    return inner_.GetWindowsDirectory(path);
  }
  Status GetTempPath(char (&path)[kPathMax]) override { return inner_.GetTempPath(path); }
  Status GetCurrentDirectory(char (&path)[kPathMax]) override {
    return inner_.GetCurrentDirectory(path);
  }
  Status SetCurrentDirectory(const char* path) override;
  Status GetFullPathName(const char* path, char (&fullPath)[kPathMax]) override {
    return inner_.GetFullPathName(path, fullPath);
  }
  unsigned long GetLogicalDrives() override { return inner_.GetLogicalDrives(); }
  int GetDriveType(const char* root) override { return inner_.GetDriveType(root); }
  Status RegCreateKeyEx(RegRoot root, const char* path) override;
  Status RegOpenKeyEx(RegRoot root, const char* path, bool fullAccess) override {
    return inner_.RegOpenKeyEx(root, path, fullAccess);
  }
  Status RegQueryValueEx(RegRoot root, const char* path, const char* name,
                         char* buffer, size_t capacity) override {
    return inner_.RegQueryValueEx(root, path, name, buffer, capacity);
  }
  Status RegSetValueEx(RegRoot root, const char* path, const char* name,
                       const char* data, size_t size) override;
  Status RegDeleteValue(RegRoot root, const char* path, const char* name) override;
  Status RegDeleteKey(RegRoot root, const char* path) override;
  Status RegEnumKeyEx(RegRoot root, const char* path, unsigned index, char* name,
                      size_t capacity) override {
    return inner_.RegEnumKeyEx(root, path, index, name, capacity);
  }
  Status RegFlushKey(RegRoot root, const char* path) override {
    return inner_.RegFlushKey(root, path);
  }
  Status SHGetSpecialFolderPath(int csidl, char (&path)[kPathMax]) override {
    return inner_.SHGetSpecialFolderPath(csidl, path);
  }
  Status CreateShellLink(const ShellLinkFields& link, const char* linkPath) override;
  Status ShellExecute(const char* file, const char* parameters,
                      const char* directory) override;
  Status CreateProcess(const char* application, const char* commandLine,
                       const char* directory, bool wait,
                       unsigned long* exitCode) override;
  Status LoadLibrary(const char* name, LibraryRef* library) override {
    return inner_.LoadLibrary(name, library);
  }
  Status CallEntryPoint(LibraryRef library, const char* entry, long* result) override {
    return inner_.CallEntryPoint(library, entry, result);
  }
  void FreeLibrary(LibraryRef library) override { inner_.FreeLibrary(library); }
  Status AddFontResource(const char* path) override;
  Status RemoveFontResource(const char* path) override;
  Status DetectTcpIp() override { return inner_.DetectTcpIp(); }
  Status ListenOnTcpPort(unsigned short port) override {
    return inner_.ListenOnTcpPort(port);
  }

 private:
  // The old file at `path` kept before a change, and the change's outcome
  // given to the undo log (which is passed on).
  Status Keep(const char* path, FileKeepWay way, FileKeep* keep);
  Status Changed(const FileKeep& keep, Status status);
  // The journal line for a change that succeeded; the status is passed on.
  Status Note(Status status, const char* kind, std::initializer_list<const char*> parts);

  Effects& inner_;
  Engine& engine_;
};
