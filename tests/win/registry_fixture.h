// Helpers for Windows tests on the real machine of the test prefix:
// registry values written, read back and removed, a scratch directory, and
// a TCP port held the way a running program holds it.
#pragma once

#include <winsock.h>
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
// A whole file's bytes ("" when it cannot be read), and a file written whole.
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& content);
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

// Holds TCP port `port` on all addresses while it lives.
class PortHolder {
 public:
  explicit PortHolder(unsigned short port);
  ~PortHolder();
  bool Bound() const { return bound_; }

 private:
  SOCKET socket_;
  bool bound_;
};
