// The guard in front of every delete: names first, as the script wrote
// them, then the full path they lead to, compared with the places that
// hold the system and the user's own files.
#include "actions/delete_guard.h"

#include <cstring>

#include "actions/paths.h"
#include "script/effects.h"
#include "script/engine.h"
#include "script/journal.h"

static bool IsSeparator(char c) { return c == '\\' || c == '/'; }

static bool IsDriveLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// "\\?\...", "\\.\..." and "\??\..." in any mix of slashes: forms that
// pass by the system's own path rules.
static bool IsDeviceForm(const char* name) {
  if (IsSeparator(name[0]) && IsSeparator(name[1]) &&
      (name[2] == '?' || name[2] == '.') && IsSeparator(name[3])) {
    return true;
  }
  return IsSeparator(name[0]) && name[1] == '?' && name[2] == '?' &&
         IsSeparator(name[3]);
}

// CON, PRN, AUX, NUL, COM1-9, LPT1-9, CONIN$ and CONOUT$, whatever follows
// them after a dot or blanks: Windows opens the device for any of them.
static bool IsDeviceName(const char* element, size_t length) {
  size_t base = 0;
  while (base < length && element[base] != '.') ++base;
  while (base > 0 && element[base - 1] == ' ') --base;
  char upper[8];
  if (base == 0 || base >= sizeof upper) return false;
  for (size_t i = 0; i < base; ++i) upper[i] = FoldAscii(element[i]);
  upper[base] = 0;
  static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL",
                                         "CONIN$", "CONOUT$"};
  for (const char* device : kDevices) {
    if (strcmp(upper, device) == 0) return true;
  }
  return base == 4 && (memcmp(upper, "COM", 3) == 0 ||
                       memcmp(upper, "LPT", 3) == 0) &&
         upper[3] >= '1' && upper[3] <= '9';
}

static const char* RefusedElement(const char* element, size_t length) {
  if (length == 0) return nullptr;
  if ((length == 1 && element[0] == '.') ||
      (length == 2 && element[0] == '.' && element[1] == '.')) {
    return "a \".\" or \"..\" element";
  }
  char last = element[length - 1];
  if (last == ' ' || last == '.') {
    return "an element ending in a blank or a dot";
  }
  if (memchr(element, ':', length)) return "a \":\" after the drive";
  if (IsDeviceName(element, length)) return "a device name";
  return nullptr;
}

const char* RefusedName(const char* name) {
  if (!name || !name[0]) return "no name";
  if (IsDeviceForm(name)) return "a \\\\?\\ or \\\\.\\ form";
  const char* element = name;
  if (IsDriveLetter(name[0]) && name[1] == ':') element = name + 2;
  for (const char* p = element;; ++p) {
    if (*p && !IsSeparator(*p)) continue;
    const char* reason = RefusedElement(element, static_cast<size_t>(p - element));
    if (reason) return reason;
    if (!*p) return nullptr;
    element = p + 1;
  }
}

const char* RefusedShortcutName(const char* name) {
  if (name && name[strcspn(name, "\\/:")]) return "a path in a shortcut name";
  return RefusedName(name);
}

// ---- Places ----

// "\\server", "\\server\share" (and "\\?\D:" read as one): at most two
// elements after the leading pair.
static bool IsShareRoot(const char* full) {
  if (!(IsSeparator(full[0]) && IsSeparator(full[1]))) return false;
  int elements = 0;
  bool inElement = false;
  for (const char* p = full + 2; *p; ++p) {
    if (IsSeparator(*p)) {
      inElement = false;
    } else if (!inElement) {
      inElement = true;
      ++elements;
    }
  }
  return elements <= 2;
}

// The folders a delete may neither be nor hold.
enum FolderSource { kWindowsFolder, kSystemFolder, kTempFolder, kShellFolder };
struct ProtectedFolder {
  FolderSource source;
  int csidl;
  const char* reason;
};
static const ProtectedFolder kProtectedFolders[] = {
    {kWindowsFolder, 0, "the Windows folder"},
    {kSystemFolder, 0, "the system folder"},
    {kTempFolder, 0, "the temporary folder"},
    {kShellFolder, kCsidlProgramFiles, "the program-files folder"},
    {kShellFolder, kCsidlProfile, "the user's profile"},
    {kShellFolder, kCsidlPrograms, "the Programs folder"},
    {kShellFolder, kCsidlStartup, "the Startup folder"},
    {kShellFolder, kCsidlDesktopDirectory, "the Desktop folder"},
};

static bool FolderPath(Effects& effects, const ProtectedFolder& folder,
                       char (&path)[kPathMax]) {
  Status status = kErrPathNotFound;
  switch (folder.source) {
    case kWindowsFolder: status = effects.GetWindowsDirectory(path); break;
    case kSystemFolder: status = effects.GetSystemDirectory(path); break;
    case kTempFolder: status = effects.GetTempPath(path); break;
    case kShellFolder: status = effects.SHGetSpecialFolderPath(folder.csidl, path); break;
  }
  return status == kOk && path[0];
}

// The protected folder that `full` is or holds, if any. A folder the
// machine names but whose full path cannot be had cannot be told apart: the
// delete is refused. One the machine does not have protects nothing.
static const char* ProtectedFolderIn(Effects& effects, const char* full,
                                     const char** more) {
  for (const ProtectedFolder& folder : kProtectedFolders) {
    char place[kPathMax], fullPlace[kPathMax];
    if (!FolderPath(effects, folder, place)) continue;
    if (!FullPathOf(effects, place, fullPlace)) {
      *more = " cannot be told apart: its full path cannot be had";
      return folder.reason;
    }
    if (IsInsideFullTree(fullPlace, full)) {
      *more = ", or a folder holding it";
      return folder.reason;
    }
  }
  return nullptr;
}

bool RefuseDelete(Engine& engine, const char* command, const char* target,
                  const char* reason, const char* more) {
  Journal(engine, "failure", {command, " ", target, ": refused, ", reason, more});
  SetFailure(engine);
  return false;
}

// Why the place `path` may not be deleted, with `more` to say after it;
// null when it may.
static const char* RefusedPlace(Engine& engine, const char* path,
                                const char** more) {
  *more = "";
  // "c:" names the current directory of drive C: a root by its spelling.
  if (IsDriveRootOrEmpty(path)) return "a drive root";
  char full[kPathMax];
  if (!FullPathOf(*engine.effects, path, full)) return "its full path cannot be had";
  if (IsDriveRootOrEmpty(full)) return "a drive root";
  if (IsShareRoot(full)) return "a share root";
  return ProtectedFolderIn(*engine.effects, full, more);
}

bool MayDelete(Engine& engine, const char* command,
               std::initializer_list<const char*> names, const char* path) {
  for (const char* name : names) {
    if (!name || !name[0]) continue;
    const char* reason = RefusedName(name);
    if (reason) return RefuseDelete(engine, command, name, reason);
  }
  const char* more;
  const char* reason = RefusedPlace(engine, path, &more);
  return reason ? RefuseDelete(engine, command, path, reason, more) : true;
}
