// Reads a shortcut file back through the shell's own link object, as the
// shell would: what the tests compare with what a script asked for.
#pragma once

#include <string>

struct ShortcutContents {
  bool loaded = false;
  std::string target, workingDirectory, arguments, iconPath, description;
  int iconIndex = -1;
};

ShortcutContents ReadShortcut(const std::string& path);
// A special folder's path (CSIDL value), "" when the shell has none.
std::string SpecialFolder(int csidl);
