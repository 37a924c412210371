// The uninstall marker and the test for an installed runtime.
#include "script/uninstall_marker.h"

#include "script/effects.h"
#include "script/engine.h"
#include "script/host.h"
#include "script/script_file.h"
#include "script/text.h"

// The runtime counts as installed when one of its file classes has an open
// command key.
static bool IsRuntimeInstalled(Effects& effects) {
  static const char* const kOpenCommands[] = {
      "vorn_file\\shell\\open\\command",
      "vam_auto_file\\shell\\open\\command",
  };
  for (const char* path : kOpenCommands) {
    if (effects.RegOpenKeyEx(kHkeyClassesRoot, path, false) == kOk) {
      return true;
    }
  }
  return false;
}

static void CheckUninstallMarker(Effects& effects, Host& host,
                                 RunModes& modes, const char* programDir) {
  char marker[kLineMax];
  if (modes.commandLineDir[0]) {
    if (!JoinPath(marker, modes.commandLineDir, "setup.txt")) return;
  } else {
    CopyText(marker, "setup.txt");
  }
  if (!IsReadableFile(effects, marker)) return;
  if (modes.commandLineDir[0]) {
    effects.SetCurrentDirectory(modes.commandLineDir);
  } else if (FitsIn(programDir, sizeof modes.commandLineDir)) {
    CopyText(modes.commandLineDir, programDir);
  } else {
    host.LogFailure("uninstall marker", programDir, kErrFilenameTooLong);
    return;
  }
  modes.uninstall = true;
}

void ApplyUninstallMarker(Effects& effects, Host& host, RunModes& modes, const char* programDir) {
  if (IsRuntimeInstalled(effects)) CheckUninstallMarker(effects, host, modes, programDir);
}
