// The registry a dry run starts from, in the text format that Windows'
// registry editor exports (a .reg file), so that values can be taken from a
// real machine:
//
//   REGEDIT4                                  (or "Windows Registry Editor
//                                              Version 5.00"; optional)
//   [HKEY_LOCAL_MACHINE\Software\Vendor]      a key (HKLM, HKCU, HKCR and
//                                              the long names; made with its
//                                              parents)
//   "Name"="text"                             a string (REG_SZ); \\ and \"
//                                              inside the quotes
//   @="text"                                  the key's default value
//   "Size"=dword:0000001f                     a DWORD, stored as 4 bytes
//   "Data"=hex:01,02,ff                       bytes, a line may go on
//                                              after a trailing backslash;
//                                              hex(1): and hex(2): are
//                                              strings (UTF-16 in a 5.00
//                                              file, ANSI in REGEDIT4);
//                                              other types are kept as
//                                              bytes
//   ; a comment
//
// A key or value the file gives twice takes its last value. The file is
// read as bytes: the 5.00 header's UTF-16 files must be saved as ANSI.
#pragma once

#include <string>

class MemoryEffects;

// Whether a key's path (below its root) fits what Windows and setup take:
// at most 1,023 bytes, each name at most 255; deeper keys would only cost
// memory.
bool UsableKeyPath(const std::string& path);

// Reads the file into `machine`; false with `error` naming the file, the
// line and what is wrong.
bool LoadRegistryFile(MemoryEffects& machine, const std::string& path, std::string* error);
// The same from text (the file's name in errors is `name`).
bool ReadRegistryText(MemoryEffects& machine, const std::string& text, const std::string& name,
                      std::string* error);
