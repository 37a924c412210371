// Reading a whole file of this machine (not the simulated one): the
// folders mapped as drives, registry exports and saved states.
#pragma once

#include <fstream>
#include <iterator>
#include <string>

// False when the file cannot be opened.
inline bool ReadHostFile(const std::string& path, std::string* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}
