// Reading back what test scripts record with AppendFile: CR LF lines joined
// by '|', so a whole run's trace compares as one string.
#pragma once

#include <string>

inline std::string JoinCrLfLines(const std::string& text) {
  std::string joined;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    if (!joined.empty()) joined += '|';
    joined += text.substr(start, end - start);
    start = end + 2;
  }
  return joined;
}
