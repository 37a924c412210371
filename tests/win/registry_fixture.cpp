// Registry, scratch-directory and port helpers for the Windows tests.
#include "tests/win/registry_fixture.h"

#include <shellapi.h>

#include <fstream>
#include <iterator>

void DeleteRegistryTree(HKEY root, const char* path) {
  RegDeleteTreeA(root, path);
  RegDeleteKeyA(root, path);
}

void WriteRegistryString(HKEY root, const char* path, const char* name,
                         const std::string& value) {
  HKEY key;
  if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  RegSetValueExA(key, name, 0, REG_SZ,
                 reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(key);
}

bool ReadRegistryValue(HKEY root, const char* path, const char* name,
                       std::string* bytes, DWORD* type) {
  HKEY key;
  if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  char buffer[4096];
  DWORD size = sizeof buffer;
  DWORD valueType = 0;
  LONG status = RegQueryValueExA(key, name, nullptr, &valueType,
                                 reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return false;
  bytes->assign(buffer, size);
  if (type) *type = valueType;
  return true;
}

ScratchDirectory::ScratchDirectory() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  char name[MAX_PATH];
  GetTempFileNameA(temp, "vt", 0, name);
  DeleteFileA(name);
  CreateDirectoryA(name, nullptr);
  path_ = name;
  char current[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, current);
  previous_ = current;
  SetCurrentDirectoryA(path_.c_str());
}

ScratchDirectory::~ScratchDirectory() {
  SetCurrentDirectoryA(previous_.c_str());
  std::string from = path_ + std::string(1, '\0');
  SHFILEOPSTRUCTA op = {};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
  SHFileOperationA(&op);
}

void ScratchDirectory::WriteFile(const std::string& name,
                                 const std::string& content) const {
  WriteWholeFile(path_ + "\\" + name, content);
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteWholeFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

PortHolder::PortHolder(unsigned short port) {
  WSADATA data;
  WSAStartup(MAKEWORD(1, 1), &data);
  socket_ = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  bound_ = bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
           listen(socket_, 1) == 0;
}

PortHolder::~PortHolder() {
  closesocket(socket_);
  WSACleanup();
}
