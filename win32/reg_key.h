// RegKey: owns one open registry key and closes it when it goes.
#pragma once

#include <windows.h>

class RegKey {
 public:
  RegKey() : key_(nullptr) {}
  ~RegKey() { Close(); }
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;

  // Opens or creates `path` below `root` with full access.
  LONG Create(HKEY root, const char* path) {
    Close();
    DWORD disposition = 0;
    return RegCreateKeyExA(root, path, 0, const_cast<char*>(""),
                           REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                           &key_, &disposition);
  }
  LONG Open(HKEY root, const char* path, REGSAM access) {
    Close();
    return RegOpenKeyExA(root, path, 0, access, &key_);
  }
  void Close() {
    if (key_) RegCloseKey(key_);
    key_ = nullptr;
  }
  HKEY Get() const { return key_; }
  bool IsOpen() const { return key_ != nullptr; }

  // Reads a REG_SZ (or REG_EXPAND_SZ, unexpanded) value into `buffer`,
  // always terminated. ERROR_MORE_DATA when it does not fit,
  // ERROR_INVALID_PARAMETER when it is not a string; the buffer is then
  // empty.
  LONG ReadString(const char* name, char* buffer, DWORD capacity) const;

 private:
  HKEY key_;
};
