// Registry string reads with forced termination.
#include "host/reg_key.h"

bool RegKey::ReadString(const char* name, char* buffer,
                        DWORD capacity) const {
  if (!key_ || capacity == 0) return false;
  DWORD type = 0;
  DWORD size = capacity;
  LONG status = RegQueryValueExA(key_, name, nullptr, &type,
                                 reinterpret_cast<BYTE*>(buffer), &size);
  if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
    buffer[0] = 0;
    return false;
  }
  // A stored string need not carry its NUL; terminate within the buffer.
  if (size >= capacity) {
    if (buffer[capacity - 1] != 0) {
      buffer[0] = 0;
      return false;
    }
  } else {
    buffer[size] = 0;
  }
  return true;
}
