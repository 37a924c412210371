// Registry string reads with forced termination.
#include "win32/reg_key.h"

LONG RegKey::ReadString(const char* name, char* buffer,
                        DWORD capacity) const {
  if (!key_ || capacity == 0) return ERROR_INVALID_HANDLE;
  DWORD type = 0;
  DWORD size = capacity;
  LONG status = RegQueryValueExA(key_, name, nullptr, &type,
                                 reinterpret_cast<BYTE*>(buffer), &size);
  if (status == ERROR_SUCCESS && type != REG_SZ && type != REG_EXPAND_SZ) {
    status = ERROR_INVALID_PARAMETER;
  }
  // A stored string need not carry its NUL; terminate within the buffer.
  if (status == ERROR_SUCCESS && size >= capacity &&
      buffer[capacity - 1] != 0) {
    status = ERROR_MORE_DATA;
  }
  if (status != ERROR_SUCCESS) {
    buffer[0] = 0;
    return status;
  }
  if (size < capacity) buffer[size] = 0;
  return ERROR_SUCCESS;
}
