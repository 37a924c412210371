// The install-state record under HKEY_LOCAL_MACHINE "Software\Kelvaro": a
// failure marker set when a run starts and removed when it ends without the
// failure flag, and the record of a successful install.
#pragma once

class Effects;

extern const char kInstallStateKey[];

// Opens (creating) the key, notes whether the failure marker is there, and
// writes "InstallFailled" = "1" and "Success" = "0". Returns the failure
// flag's start value: 1 when the marker was there, 0 when not, -1 when the
// key cannot be opened (nothing is written then).
int ArmInstallState(Effects& effects);
// Deletes the failure marker; nothing when the key cannot be opened.
void ClearFailureMarker(Effects& effects);
// Deletes the failure marker, writes "Success" = "1" and writes
// `versionText` as "IE" and "Netscape".
void RecordInstallSuccess(Effects& effects, const char* versionText);
