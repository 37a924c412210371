// Files, directories and the directories of the system, on the Win32 API.
#include <windows.h>

#include "win32/win32_effects.h"

// The status of a call that returned `ok`.
static Status Result(BOOL ok) { return ok ? kOk : GetLastError(); }

// A directory call's result: the length it wrote, or 0 (failed) or more
// than fits (the size it needs): then nothing is kept.
static Status KeepDirectory(char (&path)[kPathMax], DWORD length) {
  if (length == 0) {
    path[0] = 0;
    return GetLastError() ? GetLastError() : kErrPathNotFound;
  }
  if (length >= kPathMax) {
    path[0] = 0;
    return kErrFilenameTooLong;
  }
  return kOk;
}

// The path a failed copy or move is reported against: the source when it
// is not there, else the destination.
static const char* FailedEnd(const char* from, const char* to, Status status) {
  bool sourceMissing = (status == kErrFileNotFound || status == kErrPathNotFound) &&
                       ::GetFileAttributesA(from) == INVALID_FILE_ATTRIBUTES;
  return sourceMissing ? from : to;
}

Status Win32Effects::CopyFile(const char* from, const char* to,
                              bool failIfExists) {
  Status status = Result(::CopyFileA(from, to, failIfExists ? TRUE : FALSE));
  return status == kOk ? kOk
                       : Logged("CopyFile", FailedEnd(from, to, status), status);
}

Status Win32Effects::MoveFileEx(const char* from, const char* to,
                                unsigned flags) {
  Status status = Result(::MoveFileExA(from, to, flags));
  if (status == kOk) return kOk;
  return Logged("MoveFileEx", to ? FailedEnd(from, to, status) : from, status);
}

Status Win32Effects::DeleteFile(const char* path) {
  return Logged("DeleteFile", path, Result(::DeleteFileA(path)));
}

Status Win32Effects::GetFileAttributes(const char* path,
                                       unsigned long* attributes) {
  DWORD found = ::GetFileAttributesA(path);
  *attributes = found == INVALID_FILE_ATTRIBUTES ? 0 : found;
  return found == INVALID_FILE_ATTRIBUTES ? GetLastError() : kOk;
}

Status Win32Effects::SetFileAttributes(const char* path,
                                       unsigned long attributes) {
  return Logged("SetFileAttributes", path,
                Result(::SetFileAttributesA(path, attributes)));
}

Status Win32Effects::CreateDirectory(const char* path) {
  return Logged("CreateDirectory", path,
                Result(::CreateDirectoryA(path, nullptr)));
}

Status Win32Effects::RemoveDirectory(const char* path) {
  return Logged("RemoveDirectory", path, Result(::RemoveDirectoryA(path)));
}

static bool IsDotEntry(const char* name) {
  return name[0] == '.' &&
         (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

static void TakeEntry(const WIN32_FIND_DATAA& found, FindData* entry) {
  CopyText(entry->name, found.cFileName);
  entry->attributes = found.dwFileAttributes;
  entry->size = (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) |
                found.nFileSizeLow;
}

// The next entry that is not "." or "..".
static Status NextEntry(HANDLE find, FindData* entry) {
  WIN32_FIND_DATAA found;
  do {
    if (!::FindNextFileA(find, &found)) return GetLastError();
  } while (IsDotEntry(found.cFileName));
  TakeEntry(found, entry);
  return kOk;
}

Status Win32Effects::FindFirstFile(const char* pattern, FindData* entry,
                                   FindRef* find) {
  *find = nullptr;
  WIN32_FIND_DATAA found;
  HANDLE handle = ::FindFirstFileA(pattern, &found);
  if (handle == INVALID_HANDLE_VALUE) {
    // Nothing that matches, and a directory that is not there, are answers
    // of a listing, not failures: a walk meets the folder it has just
    // taken away (or one another program took), Exist one never made.
    Status status = GetLastError();
    if (status == kErrPathNotFound) return status;
    return status == kErrFileNotFound || status == kErrNoMoreFiles
               ? kErrFileNotFound
               : Logged("FindFirstFile", pattern, status);
  }
  Status status = kOk;
  if (IsDotEntry(found.cFileName)) {
    status = NextEntry(handle, entry);
  } else {
    TakeEntry(found, entry);
  }
  if (status != kOk) {
    ::FindClose(handle);
    return status == kErrNoMoreFiles ? kErrFileNotFound : status;
  }
  *find = handle;
  return kOk;
}

Status Win32Effects::FindNextFile(FindRef find, FindData* entry) {
  return NextEntry(static_cast<HANDLE>(find), entry);
}

void Win32Effects::FindClose(FindRef find) {
  if (find) ::FindClose(static_cast<HANDLE>(find));
}

Status Win32Effects::GetTempFileName(const char* directory, const char* prefix,
                                     char (&path)[kPathMax]) {
  char name[MAX_PATH];
  if (!::GetTempFileNameA(directory, prefix, 0, name)) {
    path[0] = 0;
    return Logged("GetTempFileName", directory, GetLastError());
  }
  if (!FitsIn(name, kPathMax)) {
    ::DeleteFileA(name);
    path[0] = 0;
    return Logged("GetTempFileName", directory, kErrFilenameTooLong);
  }
  CopyText(path, name);
  return kOk;
}

Status Win32Effects::GetSystemDirectory(char (&path)[kPathMax]) {
  return Logged("GetSystemDirectory", "",
                KeepDirectory(path, ::GetSystemDirectoryA(path, kPathMax)));
}

Status Win32Effects::GetWindowsDirectory(char (&path)[kPathMax]) {
  return Logged("GetWindowsDirectory", "",
                KeepDirectory(path, ::GetWindowsDirectoryA(path, kPathMax)));
}

Status Win32Effects::GetTempPath(char (&path)[kPathMax]) {
  return Logged("GetTempPath", "",
                KeepDirectory(path, ::GetTempPathA(kPathMax, path)));
}

Status Win32Effects::GetCurrentDirectory(char (&path)[kPathMax]) {
  return Logged("GetCurrentDirectory", "",
                KeepDirectory(path, ::GetCurrentDirectoryA(kPathMax, path)));
}

Status Win32Effects::GetFullPathName(const char* path,
                                     char (&fullPath)[kPathMax]) {
  return KeepDirectory(fullPath,
                       ::GetFullPathNameA(path, kPathMax, fullPath, nullptr));
}

unsigned long Win32Effects::GetLogicalDrives() { return ::GetLogicalDrives(); }

int Win32Effects::GetDriveType(const char* root) {
  return static_cast<int>(::GetDriveTypeA(root));
}

Status Win32Effects::SetCurrentDirectory(const char* path) {
  return Logged("SetCurrentDirectory", path,
                Result(::SetCurrentDirectoryA(path)));
}

// ---- File contents ----

static const DWORD kChunkBytes = 64 * 1024;

Status Win32Effects::ReadWholeFile(const char* path, ByteBuffer* contents) {
  HANDLE file = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return Logged("CreateFile", path, GetLastError());
  }
  Status status = kOk;
  for (;;) {
    char* room = contents->Reserve(kChunkBytes);
    if (!room) {
      status = kErrNotEnoughMemory;
      break;
    }
    DWORD read = 0;
    if (!::ReadFile(file, room, kChunkBytes, &read, nullptr)) {
      status = GetLastError();
      break;
    }
    if (read == 0) break;
    contents->Grow(read);
  }
  ::CloseHandle(file);
  return Logged("ReadFile", path, status);
}

// Writes all of `data`, flushes it and closes the file; the first failure
// is the result.
static Status WriteAndClose(HANDLE file, const char* data, size_t size) {
  Status status = kOk;
  while (size > 0 && status == kOk) {
    DWORD chunk = size > kChunkBytes ? kChunkBytes : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!::WriteFile(file, data, chunk, &written, nullptr)) {
      status = GetLastError();
    } else if (written != chunk) {
      status = kErrDiskFull;
    }
    data += chunk;
    size -= chunk;
  }
  if (status == kOk && !::FlushFileBuffers(file)) status = GetLastError();
  if (!::CloseHandle(file) && status == kOk) status = GetLastError();
  return status;
}

Status Win32Effects::WriteNewFile(const char* path, const char* data,
                                  size_t size) {
  HANDLE file = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return Logged("CreateFile", path, GetLastError());
  }
  return Logged("WriteFile", path, WriteAndClose(file, data, size));
}

Status Win32Effects::AppendToFile(const char* path, const char* data,
                                  size_t size) {
  HANDLE file = ::CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return Logged("CreateFile", path, GetLastError());
  }
  if (::SetFilePointer(file, 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER &&
      GetLastError() != NO_ERROR) {
    Status status = GetLastError();
    ::CloseHandle(file);
    return Logged("SetFilePointer", path, status);
  }
  return Logged("WriteFile", path, WriteAndClose(file, data, size));
}
