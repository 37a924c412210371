// The effect interface on the real Win32 API. One object serves the whole
// process; each group of calls lives in a file of its own (files, registry,
// shell, processes and libraries, network probes).
#pragma once

#include "script/effects.h"

class Win32Effects : public Effects {
 public:
  Status CopyFile(const char* from, const char* to, bool failIfExists) override;
  Status MoveFileEx(const char* from, const char* to, unsigned flags) override;
  Status DeleteFile(const char* path) override;
  Status GetFileAttributes(const char* path, unsigned long* attributes) override;
  Status SetFileAttributes(const char* path, unsigned long attributes) override;
  Status CreateDirectory(const char* path) override;
  Status RemoveDirectory(const char* path) override;
  Status FindFirstFile(const char* pattern, FindData* entry,
                       FindRef* find) override;
  Status FindNextFile(FindRef find, FindData* entry) override;
  void FindClose(FindRef find) override;
  Status ReadWholeFile(const char* path, ByteBuffer* contents) override;
  Status WriteNewFile(const char* path, const char* data, size_t size) override;
  Status AppendToFile(const char* path, const char* data, size_t size) override;
  Status GetTempFileName(const char* directory, const char* prefix,
                         char (&path)[kPathMax]) override;

  Status GetSystemDirectory(char (&path)[kPathMax]) override;
  Status GetWindowsDirectory(char (&path)[kPathMax]) override;
  Status GetTempPath(char (&path)[kPathMax]) override;
  Status GetCurrentDirectory(char (&path)[kPathMax]) override;
  Status SetCurrentDirectory(const char* path) override;
  Status GetFullPathName(const char* path, char (&fullPath)[kPathMax]) override;
  unsigned long GetLogicalDrives() override;
  int GetDriveType(const char* root) override;

  Status RegCreateKeyEx(RegRoot root, const char* path) override;
  Status RegOpenKeyEx(RegRoot root, const char* path, bool fullAccess) override;
  Status RegQueryValueEx(RegRoot root, const char* path, const char* name,
                         char* buffer, size_t capacity) override;
  Status RegSetValueEx(RegRoot root, const char* path, const char* name,
                       const char* data, size_t size) override;
  Status RegDeleteValue(RegRoot root, const char* path,
                        const char* name) override;
  Status RegDeleteKey(RegRoot root, const char* path) override;
  Status RegEnumKeyEx(RegRoot root, const char* path, unsigned index,
                      char* name, size_t capacity) override;
  Status RegFlushKey(RegRoot root, const char* path) override;

  Status SHGetSpecialFolderPath(int csidl, char (&path)[kPathMax]) override;
  Status CreateShellLink(const ShellLinkFields& link,
                         const char* linkPath) override;
  Status ShellExecute(const char* file, const char* parameters,
                      const char* directory) override;

  Status CreateProcess(const char* application, const char* commandLine, const char* directory,
                       bool wait, unsigned long* exitCode) override;
  Status LoadLibrary(const char* name, LibraryRef* library) override;
  Status CallEntryPoint(LibraryRef library, const char* entry,
                        long* result) override;
  void FreeLibrary(LibraryRef library) override;

  Status AddFontResource(const char* path) override;
  Status RemoveFontResource(const char* path) override;

  Status DetectTcpIp() override;
  Status ListenOnTcpPort(unsigned short port) override;
};
