// The in-memory machine: Win32's rules for the calls the program makes, as
// far as the program can tell them apart.
#include "sim/memory_effects.h"

#include <algorithm>
#include <cstring>
#include <sstream>


namespace {

const char* const kCallNames[] = {
    "*", "CopyFile", "MoveFileEx", "DeleteFile", "GetFileAttributes",
    "SetFileAttributes", "CreateDirectory", "RemoveDirectory", "FindFirstFile",
    "FindNextFile", "ReadWholeFile", "WriteNewFile", "AppendToFile",
    "GetTempFileName", "GetSystemDirectory", "GetWindowsDirectory", "GetTempPath",
    "GetCurrentDirectory", "SetCurrentDirectory", "GetFullPathName",
    "GetLogicalDrives", "GetDriveType", "RegCreateKeyEx", "RegOpenKeyEx",
    "RegQueryValueEx", "RegSetValueEx", "RegDeleteValue", "RegDeleteKey",
    "RegEnumKeyEx", "RegFlushKey", "SHGetSpecialFolderPath", "CreateShellLink",
    "ShellExecute", "CreateProcess", "LoadLibrary", "CallEntryPoint",
    "AddFontResource", "RemoveFontResource", "DetectTcpIp", "ListenOnTcpPort"};
static_assert(sizeof kCallNames / sizeof kCallNames[0] ==
                  static_cast<size_t>(EffectCall::kListenOnTcpPort) + 1,
              "one name per effect call");

std::string Slashes(std::string text) {
  std::replace(text.begin(), text.end(), '/', '\\');
  while (text.size() > 3 && text.back() == '\\') text.pop_back();
  return text;
}

bool Contains(const std::string& text, const std::string& part) {
  return MemoryEffects::UpperCase(text).find(MemoryEffects::UpperCase(part)) != std::string::npos;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// A key of the files' or the registry's map right below `prefix` ("...\\").
bool IsChild(const std::string& key, const std::string& prefix) {
  return StartsWith(key, prefix) && key.find('\\', prefix.size()) == std::string::npos;
}

// '*' and '?' wildcards, case ignored; a '*' that fails is retried one
// character further, so the time grows with the lengths, not the stars.
bool Matches(const char* pattern, const char* name) {
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*name) {
    if (*pattern == '*') {
      star = pattern++;
      resume = name;
    } else if (*pattern && (*pattern == '?' || FoldAscii(*pattern) == FoldAscii(*name))) {
      ++pattern;
      ++name;
    } else if (star) {
      pattern = star + 1;
      name = ++resume;
    } else {
      return false;
    }
  }
  while (*pattern == '*') ++pattern;
  return *pattern == 0;
}

const char* RootName(RegRoot root) {
  switch (root) {
    case kHkeyClassesRoot: return "HKCR\\";
    case kHkeyCurrentUser: return "HKCU\\";
    default: return "HKLM\\";
  }
}

}  // namespace

const char kInvalidNameChars[] =
    "\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c\x0d\x0e\x0f\x10\x11\x12\x13"
    "\x14\x15\x16\x17\x18\x19\x1a\x1b\x1c\x1d\x1e\x1f<>:\"|?*";

namespace {

// Win32's limit on ANSI paths: 259 characters and the NUL.
Status CheckPath(const std::string& path) {
  return path.size() >= kPathMax ? kErrFilenameTooLong : kOk;
}

std::string Parent(const std::string& path) {
  size_t cut = path.rfind('\\');
  if (cut == std::string::npos) return "";
  return path.substr(0, cut == 2 ? 3 : cut);
}

std::string RegKeyOf(RegRoot root, const std::string& path) {
  return MemoryEffects::UpperCase(RootName(root) + Slashes(path));
}

Status CopyOut(const std::string& text, char (&path)[kPathMax]) {
  if (!FitsIn(text.c_str(), kPathMax)) {
    path[0] = 0;
    return kErrFilenameTooLong;
  }
  CopyText(path, text.c_str());
  return kOk;
}

}  // namespace

MemoryEffects::MemoryEffects() {
  for (const char* dir :
       {"C:\\windows", "C:\\windows\\system32", "C:\\windows\\temp",
        "C:\\setup", "C:\\users", "C:\\users\\test", "C:\\users\\test\\Desktop",
        "C:\\users\\test\\Start Menu", "C:\\users\\test\\Start Menu\\Programs",
        "C:\\users\\test\\Start Menu\\Programs\\StartUp"}) {
    AddDirectory(dir);
  }
}

// Win32's full-path rules: drive-relative and rooted names, "." and ".."
// elements, and the trailing dots and blanks that every element loses.
// Device and share forms ("\\?\", "\\server") are taken as they stand.
std::string MemoryEffects::Absolute(const std::string& path) const {
  std::string p = path;
  std::replace(p.begin(), p.end(), '/', '\\');
  if (p.compare(0, 2, "\\\\") == 0) return Slashes(p);
  std::string current = Slashes(currentDirectory);
  std::string root = current.substr(0, 3), rest;
  if (p.size() >= 2 && p[1] == ':') {
    root = std::string(1, p[0]) + ":\\";
    rest = p.substr(2);
    bool sameDrive = FoldAscii(current[0]) == FoldAscii(p[0]);
    if (rest.empty() || rest[0] != '\\') {
      rest = (sameDrive ? current.substr(3) + "\\" : "") + rest;
    }
  } else {
    rest = !p.empty() && p[0] == '\\' ? p : current.substr(3) + "\\" + p;
  }
  std::vector<std::string> elements;
  std::istringstream in(rest);
  for (std::string element; std::getline(in, element, '\\');) {
    if (element == "..") {
      if (!elements.empty()) elements.pop_back();
    } else if (element != ".") {
      while (!element.empty() && (element.back() == '.' || element.back() == ' ')) {
        element.pop_back();
      }
      if (!element.empty()) elements.push_back(element);
    }
  }
  std::string full = root;
  for (size_t i = 0; i < elements.size(); ++i) {
    full += (i ? "\\" : "") + elements[i];
  }
  if (!full.empty()) full[0] = FoldAscii(full[0]);
  return full;
}

const char* EffectCallName(EffectCall call) {
  return kCallNames[static_cast<size_t>(call)];
}

Status MemoryEffects::Injected(EffectCall call, const std::string& subject,
                               EffectCall alsoAs) {
  for (Injection& rule : injections_) {
    if (rule.times == 0 || !Contains(subject, rule.pathPart)) continue;
    if (rule.call != EffectCall::kAny && rule.call != call &&
        rule.call != alsoAs) {
      continue;
    }
    if (rule.skip > 0) {
      --rule.skip;
      continue;
    }
    if (rule.times > 0) --rule.times;
    rule.fired = true;
    if (!rule.removes.empty()) {
      RemoveTree(rule.removes);
      continue;
    }
    const char* name = EffectCallName(rule.call == EffectCall::kAny ? call : rule.call);
    injectedFailures.push_back(std::string(name) + " " + subject);
    return Logged(name, subject.c_str(), rule.status);
  }
  return kOk;
}

void MemoryEffects::InjectFailure(EffectCall call, const std::string& pathPart,
                                  Status status, int times, int skip) {
  injections_.push_back(Injection{call, pathPart, status, times, skip, false, ""});
}

MemoryEffects::UnfiredReport MemoryEffects::unfiredReport_ = nullptr;

void MemoryEffects::ReportUnfired() const {
  if (!unfiredReport_) return;
  for (const Injection& rule : injections_) {
    if (!rule.fired) {
      unfiredReport_(std::string("an injected failure never fired: ") +
                     EffectCallName(rule.call) + " on \"" + rule.pathPart + "\"");
    }
  }
}

int MemoryEffects::DisarmUnfired() {
  auto unfired = [](const Injection& rule) { return !rule.fired; };
  int count = static_cast<int>(std::count_if(injections_.begin(), injections_.end(), unfired));
  injections_.erase(std::remove_if(injections_.begin(), injections_.end(), unfired),
                    injections_.end());
  return count;
}

const MemoryEffects::Node* MemoryEffects::Find(const std::string& path) const {
  auto it = files_.find(MemoryEffects::UpperCase(Absolute(path)));
  return it == files_.end() ? nullptr : &it->second;
}

MemoryEffects::Node* MemoryEffects::Find(const std::string& path) {
  return const_cast<Node*>(static_cast<const MemoryEffects*>(this)->Find(path));
}

void MemoryEffects::Put(const Node& node) { files_[MemoryEffects::UpperCase(node.path)] = node; }

void MemoryEffects::AddDirectory(const std::string& fullPath) {
  Put(Node{fullPath, true, "", kAttrDirectory});
}

// A new entry needs a short enough path, a drive that is there and takes
// writes, and an existing parent directory.
Status MemoryEffects::CheckNewEntry(const std::string& path) const {
  Status status = CheckPath(path);
  if (status != kOk) return status;
  std::string full = Absolute(path);
  if (full.size() >= 2 && full[1] == ':') {
    auto drive = driveTypes.find(FoldAscii(full[0]));
    if (drive == driveTypes.end()) return kErrPathNotFound;
    if (full.find_first_of(kInvalidNameChars, 2) != std::string::npos) return kErrInvalidName;
    if (drive->second == kDriveCdrom) return kErrWriteProtect;
  }
  std::string parent = Parent(full);
  if (parent.size() <= 3) return kOk;  // the drive's root
  const Node* dir = Find(parent);
  return dir && dir->directory ? kOk : kErrPathNotFound;
}

// What a look at a missing entry gives: its folder is missing, or it is.
Status MemoryEffects::NotFound(const std::string& path) const {
  Status status = CheckNewEntry(path);
  bool folderThere = status == kOk || status == kErrWriteProtect || status == kErrInvalidName;
  return folderThere ? kErrFileNotFound : kErrPathNotFound;
}

// Where a copy or move may put its file: over an existing one only when
// `replace` (else `existing`), and never over a folder or a read-only file.
Status MemoryEffects::CheckTarget(const char* to, bool replace, Status existing) const {
  const Node* target = Find(to);
  if (target && !replace) return existing;
  if (target && target->Unwritable()) return kErrAccessDenied;
  return CheckNewEntry(to);
}

void MemoryEffects::WriteFile(const std::string& path,
                              const std::string& content,
                              unsigned long attributes) {
  std::string full = Absolute(path);
  for (std::string dir = Parent(full); dir.size() > 3; dir = Parent(dir)) {
    if (!Find(dir)) AddDirectory(dir);
  }
  Put(Node{full, false, content, attributes});
}

std::string MemoryEffects::ReadFile(const std::string& path) const {
  const Node* node = Find(path);
  return node ? node->content : "";
}

bool MemoryEffects::Exists(const std::string& path) const {
  return Find(path) != nullptr;
}

bool MemoryEffects::IsDirectory(const std::string& path) const {
  const Node* node = Find(path);
  return (node && node->directory) || IsDriveRoot(path);
}

// "X:\" of a drive the machine has.
bool MemoryEffects::IsDriveRoot(const std::string& path) const {
  std::string full = Absolute(path);
  return full.size() == 3 && full[1] == ':' && driveTypes.count(FoldAscii(full[0])) > 0;
}

std::vector<std::string> MemoryEffects::Tree(const std::string& directory) const {
  std::string prefix = MemoryEffects::UpperCase(Absolute(directory)) + "\\";
  std::vector<std::string> found;
  for (const auto& entry : files_) {
    if (StartsWith(entry.first, prefix)) {
      found.push_back(entry.second.path.substr(prefix.size()) +
                      (entry.second.directory ? "\\" : ""));
    }
  }
  return found;
}

std::map<std::string, std::string> MemoryEffects::Files() const {
  std::map<std::string, std::string> files;
  for (const auto& entry : files_) {
    const Node& node = entry.second;
    files[entry.first] = (node.directory ? "\\" : node.content) + " " +
                         std::to_string(node.attributes);
  }
  return files;
}

std::map<std::string, std::string> MemoryEffects::Registry() const {
  std::map<std::string, std::string> registry;
  for (const auto& key : keys_) {
    registry[key.first] = "";
    for (const auto& value : key.second.values) {
      registry[key.first + "|" + value.first] =
          value.second.data + (value.second.isString ? " (string)" : " (binary)");
    }
  }
  return registry;
}

std::vector<MemoryEffects::Entry> MemoryEffects::Entries() const {
  std::vector<Entry> entries;
  for (const auto& item : files_) {
    const Node& node = item.second;
    entries.push_back(Entry{node.path, node.directory, node.content, node.attributes});
  }
  return entries;
}

std::vector<MemoryEffects::RegKeyEntry> MemoryEffects::RegKeys() const {
  std::vector<RegKeyEntry> keys;
  for (const auto& item : keys_) {
    RegRoot root = StartsWith(item.first, "HKCR\\")   ? kHkeyClassesRoot
                   : StartsWith(item.first, "HKCU\\") ? kHkeyCurrentUser
                                                       : kHkeyLocalMachine;
    RegKeyEntry key{root, item.second.path, {}};
    for (const auto& value : item.second.values) {
      key.values.push_back(RegEntry{value.second.name, value.second.data, value.second.isString});
    }
    keys.push_back(key);
  }
  return keys;
}

void MemoryEffects::MakeDirectory(const std::string& path) {
  std::string full = Absolute(path);
  for (std::string dir = full; dir.size() > 3 && !Find(dir); dir = Parent(dir)) AddDirectory(dir);
}

void MemoryEffects::RemoveTree(const std::string& path) {
  std::string gone = UpperCase(Absolute(path));
  bool root = gone.size() == 3 && gone[1] == ':';
  for (auto it = files_.begin(); it != files_.end();) {
    bool inside = it->first == gone || StartsWith(it->first, root ? gone : gone + "\\");
    it = inside ? files_.erase(it) : std::next(it);
  }
}

void MemoryEffects::MakeReparsePoint(const std::string& path) {
  Node* node = Find(path);
  if (node) node->attributes |= kAttrReparsePoint;
}

// ---- Files ----

Status MemoryEffects::CopyFile(const char* from, const char* to,
                               bool failIfExists) {
  Status status = Injected(EffectCall::kCopyFile, std::string(from) + "|" + to);
  const Node* source = Find(from);
  if (status == kErrDiskFull) OverwritePart(source, to);
  if (status != kOk) return status;
  if (CheckPath(from) != kOk || CheckPath(to) != kOk) {
    return Logged("CopyFile", to, kErrFilenameTooLong);
  }
  if (!source) return Logged("CopyFile", from, kErrFileNotFound);
  if (source->directory) return Logged("CopyFile", from, kErrAccessDenied);
  status = CheckTarget(to, !failIfExists, kErrFileExists);
  if (status != kOk) return Logged("CopyFile", to, status);
  Node copy = *source;
  copy.path = Absolute(to);
  Put(copy);
  return kOk;
}

// A copy that runs out of room has already emptied a writable target and
// written what fitted, as Windows does.
void MemoryEffects::OverwritePart(const Node* source, const char* to) {
  Node* target = Find(to);
  if (!source || source->directory || !target || target->Unwritable()) return;
  target->content = source->content.substr(0, source->content.size() / 2);
}

Status MemoryEffects::MoveFileEx(const char* from, const char* to,
                                 unsigned flags) {
  std::string both = std::string(from) + "|" + (to ? to : "");
  if (Status injected = Injected(EffectCall::kMoveFileEx, both)) return injected;
  Node* source = Find(from);
  if (!source) return Logged("MoveFileEx", from, kErrFileNotFound);
  if (!to) {
    if (!(flags & kMoveDelayUntilReboot)) return Logged("MoveFileEx", from, kErrInvalidParameter);
    deletesAtRestart.push_back(source->path);
    return kOk;
  }
  if (!(flags & kMoveCopyAllowed) &&
      FoldAscii(Absolute(from)[0]) != FoldAscii(Absolute(to)[0])) {
    return Logged("MoveFileEx", to, kErrNotSameDevice);
  }
  Status status = CheckTarget(to, (flags & kMoveReplaceExisting) != 0, kErrAlreadyExists);
  if (status != kOk) return Logged("MoveFileEx", to, status);
  std::string oldPath = Absolute(from), newPath = Absolute(to);
  bool folder = source->directory;
  if (folder && FoldAscii(oldPath[0]) != FoldAscii(newPath[0])) {
    return Logged("MoveFileEx", from, kErrAccessDenied);  // folders stay on their drive
  }
  // A folder is renamed with everything in it.
  std::string oldKey = MemoryEffects::UpperCase(oldPath);
  std::vector<Node> moving;
  for (auto it = files_.begin(); it != files_.end();) {
    bool inside = it->first == oldKey || (folder && StartsWith(it->first, oldKey + "\\"));
    if (inside) moving.push_back(it->second);
    it = inside ? files_.erase(it) : std::next(it);
  }
  for (Node& node : moving) {
    node.path = newPath + node.path.substr(oldPath.size());
    Put(node);
  }
  return kOk;
}

Status MemoryEffects::DeleteFile(const char* path) {
  if (Status injected = Injected(EffectCall::kDeleteFile, path)) return injected;
  const Node* node = Find(path);
  if (!node) return Logged("DeleteFile", path, kErrFileNotFound);
  if (node->Unwritable()) return Logged("DeleteFile", path, kErrAccessDenied);
  files_.erase(MemoryEffects::UpperCase(Absolute(path)));
  return kOk;
}

Status MemoryEffects::GetFileAttributes(const char* path,
                                        unsigned long* attributes) {
  *attributes = 0;
  if (Status injected = Injected(EffectCall::kGetFileAttributes, path)) return injected;
  if (CheckPath(path) != kOk) return kErrFilenameTooLong;
  const Node* node = Find(path);
  if (!node && IsDriveRoot(path)) {
    *attributes = kAttrDirectory;
    return kOk;
  }
  if (!node) return NotFound(path);
  *attributes = node->attributes;
  return kOk;
}

Status MemoryEffects::SetFileAttributes(const char* path,
                                        unsigned long attributes) {
  if (Status injected = Injected(EffectCall::kSetFileAttributes, path)) return injected;
  Node* node = Find(path);
  if (!node) return Logged("SetFileAttributes", path, kErrFileNotFound);
  unsigned long kept = node->attributes & (kAttrDirectory | kAttrReparsePoint);
  unsigned long set = attributes == kAttrNormal ? 0 : attributes;
  node->attributes = kept | (set & ~(kAttrDirectory | kAttrReparsePoint));
  if (!node->directory && node->attributes == 0) node->attributes = kAttrNormal;
  return kOk;
}

Status MemoryEffects::CreateDirectory(const char* path) {
  if (Status injected = Injected(EffectCall::kCreateDirectory, path)) return injected;
  if (Find(path)) return Logged("CreateDirectory", path, kErrAlreadyExists);
  Status status = CheckNewEntry(path);
  if (status != kOk) return Logged("CreateDirectory", path, status);
  AddDirectory(Absolute(path));
  return kOk;
}

Status MemoryEffects::RemoveDirectory(const char* path) {
  if (Status injected = Injected(EffectCall::kRemoveDirectory, path)) return injected;
  const Node* node = Find(path);
  if (!node) return Logged("RemoveDirectory", path, kErrFileNotFound);
  if (!node->directory) return Logged("RemoveDirectory", path, kErrDirectory);
  if (!Tree(path).empty()) return Logged("RemoveDirectory", path, kErrDirNotEmpty);
  files_.erase(MemoryEffects::UpperCase(Absolute(path)));
  return kOk;
}

Status MemoryEffects::FindFirstFile(const char* pattern, FindData* entry,
                                    FindRef* find) {
  *find = nullptr;
  if (Status injected = Injected(EffectCall::kFindFirstFile, pattern)) return injected;
  std::string full = Absolute(pattern);
  std::string directory = Parent(full);
  std::string namePattern = full.substr(full.rfind('\\') + 1);
  if (namePattern == "*.*") namePattern = "*";  // every name, dot or not
  const Node* dir = Find(directory);
  if (directory.size() > 3 && (!dir || !dir->directory)) {
    return kErrPathNotFound;  // an answer, as on Windows: not logged
  }
  std::vector<FindData> entries;
  std::string prefix = MemoryEffects::UpperCase(directory.size() > 3 ? directory : directory.substr(0, 2)) + "\\";
  for (const auto& item : files_) {
    if (!IsChild(item.first, prefix)) continue;
    std::string name = item.second.path.substr(prefix.size());
    if (!Matches(namePattern.c_str(), name.c_str())) continue;
    FindData data;
    CopyText(data.name, name.c_str());
    data.attributes = item.second.attributes;
    data.size = item.second.content.size();
    entries.push_back(data);
  }
  if (entries.empty()) return kErrFileNotFound;
  *entry = entries[0];
  *find = new FindState{entries, 1};
  return kOk;
}

Status MemoryEffects::FindNextFile(FindRef find, FindData* entry) {
  FindState* state = static_cast<FindState*>(find);
  if (Status injected = Injected(EffectCall::kFindNextFile, "")) return injected;
  if (state->next >= state->entries.size()) return kErrNoMoreFiles;
  *entry = state->entries[state->next++];
  return kOk;
}

void MemoryEffects::FindClose(FindRef find) {
  delete static_cast<FindState*>(find);
}

Status MemoryEffects::ReadWholeFile(const char* path, ByteBuffer* contents) {
  if (Status injected = Injected(EffectCall::kReadWholeFile, path)) return injected;
  if (CheckPath(path) != kOk) return Logged("ReadWholeFile", path, kErrFilenameTooLong);
  const Node* node = Find(path);
  if (!node) return Logged("ReadWholeFile", path, NotFound(path));
  if (node->directory) return Logged("ReadWholeFile", path, kErrAccessDenied);
  if (!contents->Append(node->content.data(), node->content.size())) {
    return kErrNotEnoughMemory;
  }
  return kOk;
}

// An injected failure of a write leaves the first half of the data behind,
// as a disk that fills up does.
Status MemoryEffects::WriteContent(EffectCall call, const char* path,
                                   const std::string& before, const char* data,
                                   size_t size) {
  const char* operation = EffectCallName(call);
  Node* node = Find(path);
  if (node && node->Unwritable()) return Logged(operation, path, kErrAccessDenied);
  Status status = CheckNewEntry(path);
  if (status != kOk) return Logged(operation, path, status);
  status = Injected(call, path);
  std::string written(data, status == kOk ? size : size / 2);
  WriteFile(path, before + written, node ? node->attributes : kAttrArchive);
  return status;
}

Status MemoryEffects::WriteNewFile(const char* path, const char* data,
                                   size_t size) {
  return WriteContent(EffectCall::kWriteNewFile, path, "", data, size);
}

Status MemoryEffects::AppendToFile(const char* path, const char* data,
                                   size_t size) {
  const Node* node = Find(path);
  std::string before = node && !node->directory ? node->content : "";
  return WriteContent(EffectCall::kAppendToFile, path, before, data, size);
}

Status MemoryEffects::GetTempFileName(const char* directory, const char* prefix,
                                      char (&path)[kPathMax]) {
  path[0] = 0;
  if (Status injected = Injected(EffectCall::kGetTempFileName, directory)) return injected;
  if (!IsDirectory(directory)) return Logged("GetTempFileName", directory, kErrPathNotFound);
  std::string name;
  do {
    char digits[12];
    FormatDecimal(digits, static_cast<long>(++tempCounter_));
    name = Slashes(directory) + "\\" + std::string(prefix).substr(0, 3) + digits + ".tmp";
  } while (Exists(name));
  Status status = CopyOut(name, path);
  if (status == kOk) WriteFile(name, "");
  return Logged("GetTempFileName", directory, status);
}

Status MemoryEffects::DirectoryOf(EffectCall call, const std::string& directory,
                                  char (&path)[kPathMax]) {
  path[0] = 0;
  Status status = Injected(call, directory);
  return status != kOk ? status : CopyOut(directory, path);
}
Status MemoryEffects::GetSystemDirectory(char (&path)[kPathMax]) {
  return DirectoryOf(EffectCall::kGetSystemDirectory, systemDirectory, path);
}
Status MemoryEffects::GetWindowsDirectory(char (&path)[kPathMax]) {
  return DirectoryOf(EffectCall::kGetWindowsDirectory, windowsDirectory, path);
}
Status MemoryEffects::GetTempPath(char (&path)[kPathMax]) {
  return DirectoryOf(EffectCall::kGetTempPath, tempPath, path);
}
Status MemoryEffects::GetCurrentDirectory(char (&path)[kPathMax]) {
  return DirectoryOf(EffectCall::kGetCurrentDirectory, currentDirectory, path);
}
Status MemoryEffects::GetFullPathName(const char* path, char (&fullPath)[kPathMax]) {
  return DirectoryOf(EffectCall::kGetFullPathName, Absolute(path), fullPath);
}

// Both report a failure as Windows does: no drives, an unknown type.
unsigned long MemoryEffects::GetLogicalDrives() {
  if (Injected(EffectCall::kGetLogicalDrives, "") != kOk) return 0;
  unsigned long mask = 0;
  for (const auto& drive : driveTypes) mask |= 1UL << (FoldAscii(drive.first) - 'A');
  return mask;
}

int MemoryEffects::GetDriveType(const char* root) {
  if (Injected(EffectCall::kGetDriveType, root) != kOk) return kDriveUnknown;
  auto it = driveTypes.find(FoldAscii(root[0]));
  return it == driveTypes.end() ? kDriveNoRootDir : it->second;
}

Status MemoryEffects::SetCurrentDirectory(const char* path) {
  if (Status injected = Injected(EffectCall::kSetCurrentDirectory, path)) return injected;
  if (CheckPath(path) != kOk) return Logged("SetCurrentDirectory", path, kErrFilenameTooLong);
  if (!IsDirectory(path)) return Logged("SetCurrentDirectory", path, kErrPathNotFound);
  const Node* node = Find(path);
  currentDirectory = node ? node->path : Absolute(path);
  return kOk;
}

// ---- Registry ----

// `use` of the key at `path`, unless the call fails first: injected into
// the call or into the key's open, or on a key that does not exist.
template <typename Use>
Status MemoryEffects::OnKey(EffectCall call, RegRoot root, const char* path, Use use) {
  std::string full = RootName(root) + std::string(path);
  if (Status injected = Injected(call, full, EffectCall::kRegOpenKeyEx)) return injected;
  auto it = keys_.find(RegKeyOf(root, path));
  return it == keys_.end() ? kErrFileNotFound : use(it->second);
}

Status MemoryEffects::RegCreateKeyEx(RegRoot root, const char* path) {
  std::string full = RootName(root) + std::string(path);
  Status status = Injected(EffectCall::kRegCreateKeyEx, full, EffectCall::kRegOpenKeyEx);
  if (status != kOk) return status;
  std::string walked;  // each key on the way, as written
  for (const char* p = path;; ++p) {
    if ((*p == '\\' || *p == 0) && !walked.empty()) {
      RegKeyNode& key = keys_[RegKeyOf(root, walked)];
      if (key.path.empty()) key.path = walked;
    }
    if (*p == 0) break;
    walked += *p;
  }
  return kOk;
}

Status MemoryEffects::RegOpenKeyEx(RegRoot root, const char* path, bool) {
  return OnKey(EffectCall::kRegOpenKeyEx, root, path, [](RegKeyNode&) { return kOk; });
}

Status MemoryEffects::RegQueryValueEx(RegRoot root, const char* path,
                                      const char* name, char* buffer,
                                      size_t capacity) {
  if (capacity > 0) buffer[0] = 0;
  return OnKey(EffectCall::kRegQueryValueEx, root, path, [&](RegKeyNode& key) {
    auto it = key.values.find(MemoryEffects::UpperCase(name ? name : ""));
    if (it == key.values.end()) return kErrFileNotFound;
    if (!it->second.isString) return kErrInvalidParameter;
    std::string text = it->second.data.c_str();  // up to a stored NUL
    if (text.size() + 1 > capacity) return kErrMoreData;
    CopyText(buffer, capacity, text.c_str());
    return kOk;
  });
}

Status MemoryEffects::RegSetValueEx(RegRoot root, const char* path,
                                    const char* name, const char* data,
                                    size_t size) {
  Status status = OnKey(EffectCall::kRegSetValueEx, root, path, [&](RegKeyNode& key) {
    RegValueNode& value = key.values[MemoryEffects::UpperCase(name ? name : "")];
    if (value.name.empty()) value.name = name ? name : "";
    value.data.assign(data, size);
    value.isString = true;
    return kOk;
  });
  return Logged("RegSetValueEx", path, status);
}

Status MemoryEffects::RegDeleteValue(RegRoot root, const char* path,
                                     const char* name) {
  return OnKey(EffectCall::kRegDeleteValue, root, path, [&](RegKeyNode& key) {
    return key.values.erase(MemoryEffects::UpperCase(name ? name : "")) ? kOk : kErrFileNotFound;
  });
}

Status MemoryEffects::RegDeleteKey(RegRoot root, const char* path) {
  std::string keyName = RegKeyOf(root, path);
  return OnKey(EffectCall::kRegDeleteKey, root, path, [&](RegKeyNode&) {
    for (const auto& item : keys_) {
      if (StartsWith(item.first, keyName + "\\")) {
        return Logged("RegDeleteKey", path, kErrAccessDenied);
      }
    }
    keys_.erase(keyName);
    return kOk;
  });
}

Status MemoryEffects::RegEnumKeyEx(RegRoot root, const char* path,
                                   unsigned index, char* name,
                                   size_t capacity) {
  if (capacity > 0) name[0] = 0;
  std::string prefix = RegKeyOf(root, path) + "\\";
  return OnKey(EffectCall::kRegEnumKeyEx, root, path, [&](RegKeyNode&) {
    unsigned seen = 0;
    for (const auto& item : keys_) {
      if (!IsChild(item.first, prefix) || seen++ < index) continue;
      std::string child = item.second.path.substr(item.second.path.rfind('\\') + 1);
      if (child.size() + 1 > capacity) return kErrMoreData;
      CopyText(name, capacity, child.c_str());
      return kOk;
    }
    return kErrNoMoreFiles;
  });
}

Status MemoryEffects::RegFlushKey(RegRoot root, const char* path) {
  return OnKey(EffectCall::kRegFlushKey, root, path, [](RegKeyNode&) { return kOk; });
}

bool MemoryEffects::RegValue(RegRoot root, const std::string& path,
                             const std::string& name, std::string* data) const {
  auto it = keys_.find(RegKeyOf(root, path));
  if (it == keys_.end()) return false;
  auto value = it->second.values.find(MemoryEffects::UpperCase(name));
  if (value == it->second.values.end()) return false;
  *data = value->second.data;
  return true;
}

std::map<std::string, std::string> MemoryEffects::RegValues(RegRoot root,
                                                             const std::string& path) const {
  std::map<std::string, std::string> values;
  auto it = keys_.find(RegKeyOf(root, path));
  if (it == keys_.end()) return values;
  for (const auto& value : it->second.values) values[value.first] = value.second.data;
  return values;
}

bool MemoryEffects::RegKeyExists(RegRoot root, const std::string& path) const {
  return keys_.count(RegKeyOf(root, path)) > 0;
}

void MemoryEffects::SetRegString(RegRoot root, const std::string& path,
                                 const std::string& name,
                                 const std::string& text) {
  RegCreateKeyEx(root, path.c_str());
  keys_[RegKeyOf(root, path)].values[MemoryEffects::UpperCase(name)] = RegValueNode{name, text + '\0', true};
}

void MemoryEffects::SetRegValue(RegRoot root, const std::string& path, const std::string& name,
                                const std::string& bytes, bool isString) {
  RegCreateKeyEx(root, path.c_str());
  keys_[RegKeyOf(root, path)].values[MemoryEffects::UpperCase(name)] =
      RegValueNode{name, bytes, isString};
}

void MemoryEffects::SetRegBinary(RegRoot root, const std::string& path,
                                 const std::string& name,
                                 const std::string& bytes) {
  SetRegString(root, path, name, bytes);
  keys_[RegKeyOf(root, path)].values[MemoryEffects::UpperCase(name)].isString = false;
}

// ---- Shell, processes, libraries, fonts, probes ----

Status MemoryEffects::SHGetSpecialFolderPath(int csidl, char (&path)[kPathMax]) {
  if (Status injected = Injected(EffectCall::kSHGetSpecialFolderPath, "")) return injected;
  auto folder = specialFolders.find(csidl);
  if (folder != specialFolders.end()) return CopyOut(folder->second, path);
  path[0] = 0;
  return Logged("SHGetSpecialFolderPath", "", kErrPathNotFound);
}

Status MemoryEffects::CreateShellLink(const ShellLinkFields& link,
                                      const char* linkPath) {
  if (Status injected = Injected(EffectCall::kCreateShellLink, linkPath)) return injected;
  Status status = CheckNewEntry(linkPath);
  if (status != kOk) return Logged("CreateShellLink", linkPath, status);
  std::string described = std::string(link.target);
  if (link.arguments) described += " args[" + std::string(link.arguments) + "]";
  if (link.workingDirectory) described += " in " + std::string(link.workingDirectory);
  if (link.iconPath) {
    described += " icon " + std::string(link.iconPath) + "," + std::to_string(link.iconIndex);
  }
  WriteFile(linkPath, "link to " + described);
  linksSaved.push_back(Absolute(linkPath) + " -> " + described);
  return kOk;
}

Status MemoryEffects::ShellExecute(const char* file, const char* parameters,
                                   const char* directory) {
  (void)directory;
  if (Status injected = Injected(EffectCall::kShellExecute, file)) return injected;
  if (!Exists(file)) return Logged("ShellExecute", file, kErrFileNotFound);
  processesStarted.push_back(std::string("open ") + file +
                             (parameters ? std::string(" ") + parameters : ""));
  return kOk;
}

Status MemoryEffects::CreateProcess(const char* application,
                                    const char* commandLine,
                                    const char* directory, bool wait,
                                    unsigned long* exitCode) {
  (void)directory;
  if (exitCode) *exitCode = 0;
  if (Status injected = Injected(EffectCall::kCreateProcess, commandLine)) return injected;
  if (application && !Exists(application)) {
    return Logged("CreateProcess", application, kErrFileNotFound);
  }
  processesStarted.push_back((application ? std::string(application) + " <- " : "") +
                             commandLine);
  if (wait && exitCode) *exitCode = processExitCode;
  return kOk;
}

Status MemoryEffects::LoadLibrary(const char* name, LibraryRef* library) {
  *library = nullptr;
  if (Status injected = Injected(EffectCall::kLoadLibrary, name)) return injected;
  auto it = libraries.find(MemoryEffects::UpperCase(name));
  if (it == libraries.end()) return Logged("LoadLibrary", name, kErrModNotFound);
  *library = &it->second;
  return kOk;
}

Status MemoryEffects::CallEntryPoint(LibraryRef library, const char* entry,
                                     long* result) {
  *result = 0;
  if (Status injected = Injected(EffectCall::kCallEntryPoint, entry)) return injected;
  auto* entries = static_cast<std::map<std::string, long>*>(library);
  for (const auto& item : libraries) {
    if (&item.second == entries) entriesCalled.push_back(item.first + " " + entry);
  }
  auto it = entries->find(entry);
  if (it == entries->end()) return Logged("GetProcAddress", entry, kErrProcNotFound);
  *result = it->second;
  return kOk;
}

void MemoryEffects::FreeLibrary(LibraryRef) {}

Status MemoryEffects::AddFontResource(const char* path) {
  if (Status injected = Injected(EffectCall::kAddFontResource, path)) return injected;
  if (!Exists(path)) return Logged("AddFontResource", path, kErrFileNotFound);
  fontsAdded.insert(MemoryEffects::UpperCase(Absolute(path)));
  return kOk;
}

Status MemoryEffects::RemoveFontResource(const char* path) {
  if (Status injected = Injected(EffectCall::kRemoveFontResource, path)) return injected;
  auto added = fontsAdded.find(MemoryEffects::UpperCase(Absolute(path)));
  if (added == fontsAdded.end()) return Logged("RemoveFontResource", path, kErrFileNotFound);
  fontsAdded.erase(added);
  return kOk;
}

Status MemoryEffects::DetectTcpIp() { return Injected(EffectCall::kDetectTcpIp, ""); }

Status MemoryEffects::ListenOnTcpPort(unsigned short port) {
  std::string number = std::to_string(port);
  if (Status injected = Injected(EffectCall::kListenOnTcpPort, number)) return injected;
  return takenPorts.count(port) ? kErrAlreadyExists : kOk;
}
