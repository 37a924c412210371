// The state of a simulated machine between dry runs, so that one run can
// start where the last one ended (install, upgrade, uninstall), and the
// changes from one state to another.
//
// The state file: a first line "vorn dry-run machine 1", then one record a
// line, the bytes of a file or a registry value right after its record's
// line and a line end after them:
//   program <path>                         where setup.exe ran last
//   user <name>                            the user of the profile folders
//   drive <letter> <type>                  a drive and its Win32 type
//   dir <attributes> <path>                a folder
//   file <attributes> <size> <path>        a file: then its <size> bytes
//   key <root> <path>                      a registry key (HKLM, HKCU, HKCR)
//   value <sz|bin> <name size> <data size> <root> <path>
//                                          a value of that key: then its
//                                          name's bytes and its data's
//   font <path>                            a font added and not removed
//   restart <path>                         a delete at the next start
// Numbers are decimal; paths run to the line's end.
#pragma once

#include <string>
#include <vector>

class SimulatedMachine;

// Writes the machine's state (to PATH.setupsim-new, then renamed over PATH,
// so that a failed write keeps the old state; a file of that name already
// there is left alone and the save refused); false with `error` set when the
// file cannot be written.
bool SaveMachineState(const SimulatedMachine& machine, const std::string& path,
                      std::string* error);
// Whether a state can be written at `path` (PATH.setupsim-new can be made
// there); nothing is left behind.
bool StateCanBeSaved(const std::string& path, std::string* error);
// Reads a state into `machine` (which should be empty); false with `error`
// naming the file and the line when it cannot be read or is malformed.
bool LoadMachineState(SimulatedMachine& machine, const std::string& path, std::string* error);
// The same from the file's text (its name in errors is `name`).
bool ReadMachineState(SimulatedMachine& machine, const std::string& text, const std::string& name,
                      std::string* error);

// What differs from `before` to `after`, one line each, sorted by path:
// "+ file C:\a" (there only after), "- file C:\a" (only before), "* file
// C:\a" (other bytes or attributes); the same for "folder", "key",
// "value HKLM\Software\X \"Name\" = \"text\"" (a changed value shows its
// new data), "font" and "restart". Paths and names compare with ASCII case
// ignored, as Windows compares them.
std::vector<std::string> MachineChanges(const SimulatedMachine& before,
                                        const SimulatedMachine& after);
