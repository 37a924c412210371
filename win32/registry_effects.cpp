// The registry on the Win32 API. Each call opens its key, acts and closes
// it again; values are written as REG_SZ.
#include <windows.h>

#include "win32/reg_key.h"
#include "win32/win32_effects.h"

static HKEY RootKey(RegRoot root) {
  switch (root) {
    case kHkeyClassesRoot: return HKEY_CLASSES_ROOT;
    case kHkeyCurrentUser: return HKEY_CURRENT_USER;
    default: return HKEY_LOCAL_MACHINE;
  }
}

Status Win32Effects::RegCreateKeyEx(RegRoot root, const char* path) {
  RegKey key;
  return Logged("RegCreateKeyEx", path, key.Create(RootKey(root), path));
}

Status Win32Effects::RegOpenKeyEx(RegRoot root, const char* path,
                                  bool fullAccess) {
  RegKey key;
  return key.Open(RootKey(root), path, fullAccess ? KEY_ALL_ACCESS : KEY_READ);
}

Status Win32Effects::RegQueryValueEx(RegRoot root, const char* path,
                                     const char* name, char* buffer,
                                     size_t capacity) {
  if (capacity == 0) return kErrMoreData;
  buffer[0] = 0;
  RegKey key;
  Status status = key.Open(RootKey(root), path, KEY_READ);
  if (status != kOk) return status;
  return key.ReadString(name, buffer, static_cast<DWORD>(capacity));
}

Status Win32Effects::RegSetValueEx(RegRoot root, const char* path,
                                   const char* name, const char* data,
                                   size_t size) {
  RegKey key;
  Status status = key.Open(RootKey(root), path, KEY_SET_VALUE);
  if (status == kOk) {
    status = ::RegSetValueExA(key.Get(), name, 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(data),
                              static_cast<DWORD>(size));
  }
  return Logged("RegSetValueEx", path, status);
}

Status Win32Effects::RegDeleteValue(RegRoot root, const char* path,
                                    const char* name) {
  RegKey key;
  Status status = key.Open(RootKey(root), path, KEY_SET_VALUE);
  if (status == kOk) status = ::RegDeleteValueA(key.Get(), name);
  return status == kErrFileNotFound ? status
                                    : Logged("RegDeleteValue", path, status);
}

Status Win32Effects::RegDeleteKey(RegRoot root, const char* path) {
  Status status = ::RegDeleteKeyA(RootKey(root), path);
  return status == kErrFileNotFound ? status
                                    : Logged("RegDeleteKey", path, status);
}

Status Win32Effects::RegEnumKeyEx(RegRoot root, const char* path,
                                  unsigned index, char* name,
                                  size_t capacity) {
  RegKey key;
  Status status = key.Open(RootKey(root), path, KEY_READ);
  if (status != kOk) return status;
  DWORD size = static_cast<DWORD>(capacity);
  status = ::RegEnumKeyExA(key.Get(), index, name, &size, nullptr, nullptr,
                           nullptr, nullptr);
  if (status != kOk && capacity > 0) name[0] = 0;
  return status == ERROR_NO_MORE_ITEMS ? kErrNoMoreFiles : status;
}

Status Win32Effects::RegFlushKey(RegRoot root, const char* path) {
  RegKey key;
  Status status = key.Open(RootKey(root), path, KEY_READ);
  if (status == kOk) status = ::RegFlushKey(key.Get());
  return Logged("RegFlushKey", path, status);
}
