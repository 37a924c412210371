// Every effect on the machine goes through this one narrow interface: files
// and directories, the registry, special folders and shell links, processes,
// libraries, fonts and the network probes. The real implementation wraps
// the Win32 API (win32/); an in-memory one serves the native tests and can
// inject failures. Names follow the Win32 calls they wrap, so a reader sees
// what really happens. Every call returns a Win32 error code (kOk = 0) and
// reports failures through the host's failure log.
#pragma once

#include <cstddef>

#include "script/byte_buffer.h"
#include "script/text.h"

// The methods carry the names of the Win32 calls they wrap; where
// <windows.h> made those names macros for their ANSI or wide versions, the
// macros go, so that every file sees the same method names. Windows code
// calls the API by its explicit name (CopyFileA). Include this header after
// <windows.h>.
#ifdef _WIN32
#undef CopyFile
#undef MoveFileEx
#undef DeleteFile
#undef GetFileAttributes
#undef SetFileAttributes
#undef CreateDirectory
#undef RemoveDirectory
#undef FindFirstFile
#undef FindNextFile
#undef GetTempFileName
#undef GetSystemDirectory
#undef GetWindowsDirectory
#undef GetTempPath
#undef GetCurrentDirectory
#undef SetCurrentDirectory
#undef GetFullPathName
#undef GetDriveType
#undef RegCreateKeyEx
#undef RegOpenKeyEx
#undef RegQueryValueEx
#undef RegSetValueEx
#undef RegDeleteValue
#undef RegDeleteKey
#undef RegEnumKeyEx
#undef SHGetSpecialFolderPath
#undef ShellExecute
#undef CreateProcess
#undef LoadLibrary
#undef AddFontResource
#undef RemoveFontResource
#endif

class Host;

typedef unsigned long Status;  // a Win32 error code; kOk on success

// The error codes the program tells apart (Win32 values).
const Status kOk = 0;
const Status kErrFileNotFound = 2;
const Status kErrPathNotFound = 3;
const Status kErrAccessDenied = 5;
const Status kErrNotEnoughMemory = 8;
const Status kErrNotSameDevice = 17;
const Status kErrNoMoreFiles = 18;
const Status kErrWriteProtect = 19;
const Status kErrSharingViolation = 32;
const Status kErrFileExists = 80;
const Status kErrInvalidParameter = 87;
const Status kErrDiskFull = 112;
const Status kErrModNotFound = 126;
const Status kErrProcNotFound = 127;
const Status kErrDirNotEmpty = 145;
const Status kErrAlreadyExists = 183;
const Status kErrInvalidName = 123;
const Status kErrFilenameTooLong = 206;
const Status kErrMoreData = 234;
const Status kErrDirectory = 267;

// File attributes (Win32 values).
const unsigned long kAttrReadOnly = 0x01;
const unsigned long kAttrHidden = 0x02;
const unsigned long kAttrSystem = 0x04;
const unsigned long kAttrDirectory = 0x10;
const unsigned long kAttrArchive = 0x20;
const unsigned long kAttrNormal = 0x80;
const unsigned long kAttrReparsePoint = 0x400;

// MoveFileEx flags (Win32 values).
const unsigned kMoveReplaceExisting = 0x1;
const unsigned kMoveCopyAllowed = 0x2;
const unsigned kMoveDelayUntilReboot = 0x4;
const unsigned kMoveWriteThrough = 0x8;

// Drive types (Win32 values).
const int kDriveUnknown = 0;
const int kDriveNoRootDir = 1;
const int kDriveRemovable = 2;
const int kDriveFixed = 3;
const int kDriveRemote = 4;
const int kDriveCdrom = 5;
const int kDriveRamdisk = 6;

// Registry roots the program uses.
enum RegRoot { kHkeyClassesRoot, kHkeyCurrentUser, kHkeyLocalMachine };

// Special folders (CSIDL values).
const int kCsidlPrograms = 0x02;
const int kCsidlStartup = 0x07;
const int kCsidlDesktopDirectory = 0x10;
const int kCsidlProgramFiles = 0x26;
const int kCsidlProfile = 0x28;

// One directory entry of a listing.
struct FindData {
  char name[kPathMax];
  unsigned long attributes;
  unsigned long long size;
};
typedef void* FindRef;
typedef void* LibraryRef;

// What a shell link (.lnk) points at.
struct ShellLinkFields {
  const char* target;
  const char* arguments;         // may be null
  const char* workingDirectory;  // may be null
  const char* iconPath;          // may be null
  int iconIndex;
  const char* description;       // may be null
};

class Effects {
 public:
  virtual ~Effects() {}

  // The log that every failed call reports to; none by default.
  void SetFailureLog(Host* host) { log_ = host; }

  // ---- Files and directories ----
  virtual Status CopyFile(const char* from, const char* to,
                          bool failIfExists) = 0;
  // `to` null with kMoveDelayUntilReboot: `from` (a file, or a folder that
  // will be empty by then) is deleted when Windows next starts; until
  // then it stays where it is.
  virtual Status MoveFileEx(const char* from, const char* to,
                            unsigned flags) = 0;
  virtual Status DeleteFile(const char* path) = 0;
  virtual Status GetFileAttributes(const char* path,
                                   unsigned long* attributes) = 0;
  virtual Status SetFileAttributes(const char* path,
                                   unsigned long attributes) = 0;
  virtual Status CreateDirectory(const char* path) = 0;
  virtual Status RemoveDirectory(const char* path) = 0;
  // Lists the entries matching `pattern` ("dir\*"), "." and ".." left out.
  // kErrFileNotFound when nothing matches, kErrPathNotFound when the
  // directory is not there; neither is a failure to report. FindNextFile
  // ends with kErrNoMoreFiles. A FindRef from a successful FindFirstFile is
  // closed with FindClose.
  virtual Status FindFirstFile(const char* pattern, FindData* entry,
                               FindRef* find) = 0;
  virtual Status FindNextFile(FindRef find, FindData* entry) = 0;
  virtual void FindClose(FindRef find) = 0;
  // ---- File contents (CreateFile, ReadFile/WriteFile, CloseHandle) ----
  // Appends the whole file to `contents`: kErrFileNotFound or
  // kErrPathNotFound when it is missing, another code when it exists but
  // cannot be read (in use, a directory, no access), kErrNotEnoughMemory.
  virtual Status ReadWholeFile(const char* path, ByteBuffer* contents) = 0;
  // Creates or empties the file and writes `size` bytes, flushed to disk;
  // every write and the close are checked. On failure the file may hold
  // part of the data: the caller removes it.
  virtual Status WriteNewFile(const char* path, const char* data,
                              size_t size) = 0;
  // Opens the file for appending (creating it when missing) and writes
  // `size` bytes at its end; every write and the close are checked.
  virtual Status AppendToFile(const char* path, const char* data,
                              size_t size) = 0;
  // A new empty file in `directory` named from `prefix`; its path in `path`.
  virtual Status GetTempFileName(const char* directory, const char* prefix,
                                 char (&path)[kPathMax]) = 0;

  // ---- Directories of the system and the process ----
  // Each fills `path` or fails with kErrFilenameTooLong: never a cut path.
  virtual Status GetSystemDirectory(char (&path)[kPathMax]) = 0;
  virtual Status GetWindowsDirectory(char (&path)[kPathMax]) = 0;
  virtual Status GetTempPath(char (&path)[kPathMax]) = 0;
  virtual Status GetCurrentDirectory(char (&path)[kPathMax]) = 0;
  virtual Status SetCurrentDirectory(const char* path) = 0;
  // The full path of `path` (relative to the current directory); never cut.
  virtual Status GetFullPathName(const char* path,
                                 char (&fullPath)[kPathMax]) = 0;
  // Bit n set: drive letter 'a' + n is present.
  virtual unsigned long GetLogicalDrives() = 0;
  // The drive type of a root ("c:\"): kDriveFixed and the like.
  virtual int GetDriveType(const char* root) = 0;

  // ---- Registry: keys named by root and path, values of type REG_SZ ----
  virtual Status RegCreateKeyEx(RegRoot root, const char* path) = 0;
  // Opens the key and closes it again: for reading, or with full access.
  virtual Status RegOpenKeyEx(RegRoot root, const char* path,
                              bool fullAccess) = 0;
  // Reads a string value (REG_SZ, or REG_EXPAND_SZ unexpanded), always
  // terminated: kErrMoreData when it does not fit, kErrFileNotFound when
  // missing, kErrInvalidParameter when it is not a string. `name` null or ""
  // is the key's default value.
  virtual Status RegQueryValueEx(RegRoot root, const char* path,
                                 const char* name, char* buffer,
                                 size_t capacity) = 0;
  // Writes `size` bytes of `data` as a REG_SZ value; the key must exist.
  virtual Status RegSetValueEx(RegRoot root, const char* path,
                               const char* name, const char* data,
                               size_t size) = 0;
  virtual Status RegDeleteValue(RegRoot root, const char* path,
                                const char* name) = 0;
  // Deletes a key that has no subkeys.
  virtual Status RegDeleteKey(RegRoot root, const char* path) = 0;
  // The name of subkey `index`; kErrNoMoreFiles after the last.
  virtual Status RegEnumKeyEx(RegRoot root, const char* path, unsigned index,
                              char* name, size_t capacity) = 0;
  virtual Status RegFlushKey(RegRoot root, const char* path) = 0;

  // ---- Shell ----
  virtual Status SHGetSpecialFolderPath(int csidl,
                                        char (&path)[kPathMax]) = 0;
  // Saves a shell link at `linkPath` (replacing one that is there).
  virtual Status CreateShellLink(const ShellLinkFields& link,
                                 const char* linkPath) = 0;
  // The verb "open" on `file`, shown as the started program chooses, with
  // no owner window; returns once the shell has handed the file on.
  virtual Status ShellExecute(const char* file, const char* parameters,
                              const char* directory) = 0;

  // ---- Processes ----
  // Starts `application` (null: the first word of `commandLine`) with
  // `commandLine` in `directory` (null: the current one); the child inherits
  // the inheritable handles. With `wait`, waits for its end, while the
  // thread's windows keep taking their messages, and gives its exit code.
  virtual Status CreateProcess(const char* application,
                               const char* commandLine, const char* directory,
                               bool wait, unsigned long* exitCode) = 0;

  // ---- Libraries ----
  // Loads a library without Windows' own error boxes; a library named by
  // a path finds its dependencies in its own directory first.
  virtual Status LoadLibrary(const char* name, LibraryRef* library) = 0;
  // Calls the library's entry `entry`, a function of no arguments that
  // returns an HRESULT (DllRegisterServer and the like).
  virtual Status CallEntryPoint(LibraryRef library, const char* entry,
                                long* result) = 0;
  virtual void FreeLibrary(LibraryRef library) = 0;

  // ---- Fonts ----
  virtual Status AddFontResource(const char* path) = 0;
  virtual Status RemoveFontResource(const char* path) = 0;

  // ---- Network probes (Winsock 1.1) ----
  // kOk when Winsock 1.1 is there, knows TCP, IP and UDP, and gives a TCP
  // stream socket.
  virtual Status DetectTcpIp() = 0;
  // kOk when a listening TCP socket could be set up on `port` on all local
  // addresses (and was closed again); kErrAlreadyExists when it is taken.
  virtual Status ListenOnTcpPort(unsigned short port) = 0;

 protected:
  // Reports a failed call to the log and returns its status unchanged.
  Status Logged(const char* operation, const char* subject, Status status);

 private:
  Host* log_ = nullptr;
};
