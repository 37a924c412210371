// Install-state record. "InstallFailled" and "Success" are stored as one
// byte without a terminating NUL, as earlier runs and other programs
// expect; "IE" and "Netscape" are stored as complete strings.
#include "host/install_state.h"

#include <windows.h>

#include <cstring>

#include "host/reg_key.h"

const char kInstallStateKey[] = "Software\\Kelvaro";

static void WriteOneByteFlag(HKEY key, const char* name, const char* digit) {
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(digit),
                 1);
}

static void WriteString(HKEY key, const char* name, const char* text) {
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                 static_cast<DWORD>(strlen(text) + 1));
}

static bool HasValue(HKEY key, const char* name) {
  return RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) ==
         ERROR_SUCCESS;
}

int ArmInstallState() {
  RegKey key;
  if (key.Create(HKEY_LOCAL_MACHINE, kInstallStateKey) != ERROR_SUCCESS) {
    return -1;
  }
  int startValue = HasValue(key.Get(), "InstallFailled") ? 1 : 0;
  WriteOneByteFlag(key.Get(), "InstallFailled", "1");
  WriteOneByteFlag(key.Get(), "Success", "0");
  RegFlushKey(key.Get());
  return startValue;
}

void ClearFailureMarker() {
  RegKey key;
  if (key.Create(HKEY_LOCAL_MACHINE, kInstallStateKey) != ERROR_SUCCESS) {
    return;
  }
  RegDeleteValueA(key.Get(), "InstallFailled");
  RegFlushKey(key.Get());
}

void RecordInstallSuccess(const char* versionText) {
  RegKey key;
  if (key.Create(HKEY_LOCAL_MACHINE, kInstallStateKey) != ERROR_SUCCESS) {
    return;
  }
  RegDeleteValueA(key.Get(), "InstallFailled");
  WriteOneByteFlag(key.Get(), "Success", "1");
  WriteString(key.Get(), "IE", versionText);
  WriteString(key.Get(), "Netscape", versionText);
  RegFlushKey(key.Get());
}
