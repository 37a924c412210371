// Install-state record. "InstallFailled" and "Success" are stored as one
// byte without a terminating NUL, as earlier runs and other programs
// expect; "IE" and "Netscape" are stored as complete strings.
#include "script/install_state.h"

#include <cstring>

#include "script/effects.h"

const char kInstallStateKey[] = "Software\\Kelvaro";

static void WriteOneByteFlag(Effects& effects, const char* name,
                             const char* digit) {
  effects.RegSetValueEx(kHkeyLocalMachine, kInstallStateKey, name, digit, 1);
}

static void WriteString(Effects& effects, const char* name, const char* text) {
  effects.RegSetValueEx(kHkeyLocalMachine, kInstallStateKey, name, text,
                        strlen(text) + 1);
}

static bool HasValue(Effects& effects, const char* name) {
  char value[8];
  Status status = effects.RegQueryValueEx(kHkeyLocalMachine, kInstallStateKey,
                                          name, value, sizeof value);
  return status == kOk || status == kErrMoreData ||
         status == kErrInvalidParameter;
}

static bool OpenRecord(Effects& effects) {
  return effects.RegCreateKeyEx(kHkeyLocalMachine, kInstallStateKey) == kOk;
}

int ArmInstallState(Effects& effects) {
  if (!OpenRecord(effects)) return -1;
  int startValue = HasValue(effects, "InstallFailled") ? 1 : 0;
  WriteOneByteFlag(effects, "InstallFailled", "1");
  WriteOneByteFlag(effects, "Success", "0");
  effects.RegFlushKey(kHkeyLocalMachine, kInstallStateKey);
  return startValue;
}

void ClearFailureMarker(Effects& effects) {
  if (!OpenRecord(effects)) return;
  effects.RegDeleteValue(kHkeyLocalMachine, kInstallStateKey,
                         "InstallFailled");
  effects.RegFlushKey(kHkeyLocalMachine, kInstallStateKey);
}

void RecordInstallSuccess(Effects& effects, const char* versionText) {
  if (!OpenRecord(effects)) return;
  effects.RegDeleteValue(kHkeyLocalMachine, kInstallStateKey,
                         "InstallFailled");
  WriteOneByteFlag(effects, "Success", "1");
  WriteString(effects, "IE", versionText);
  WriteString(effects, "Netscape", versionText);
  effects.RegFlushKey(kHkeyLocalMachine, kInstallStateKey);
}
