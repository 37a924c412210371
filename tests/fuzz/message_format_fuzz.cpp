// Fuzz target: the message formatter and the line-break expansion on any
// format, with two values, into buffers of several sizes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "script/messages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<char> format(reinterpret_cast<const char*>(data),
                           reinterpret_cast<const char*>(data) + size);
  format.push_back(0);
  ExpandNewlines(format.data());
  for (size_t capacity : {1u, 7u, 64u, 4096u}) {
    std::vector<char> out(capacity);
    FormatMessageText(out.data(), capacity, format.data(), {"first", "second value"});
    if (strnlen(out.data(), capacity) >= capacity) abort();
  }
  return 0;
}
