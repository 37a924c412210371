// Helpers for Windows tests that read and write the real registry of the
// test prefix: reading values back, and removing keys before and after.
#pragma once

#include <windows.h>

#include <string>

// Deletes `path` below `root` with all its subkeys; missing keys are fine.
void DeleteRegistryTree(HKEY root, const char* path);
// Writes a REG_SZ value, creating the key.
void WriteRegistryString(HKEY root, const char* path, const char* name,
                         const std::string& value);
// Reads a value: true and its raw bytes when present.
bool ReadRegistryValue(HKEY root, const char* path, const char* name,
                       std::string* bytes, DWORD* type = nullptr);
// A scratch directory under the temporary directory, removed on
// destruction; the process works in it while it lives.
class ScratchDirectory {
 public:
  ScratchDirectory();
  ~ScratchDirectory();
  const std::string& Path() const { return path_; }
  void WriteFile(const std::string& name, const std::string& content) const;

 private:
  std::string path_;
  std::string previous_;
};
