// An in-memory machine: a file system of drive C: (and any other drive
// given a type) and a registry, behind the same effect interface as the
// real Win32 one (the shared contract keeps the two alike), for the dry
// run, the native tests and the fuzz targets, with
// failures that a test can inject (disk full, access denied, a sharing
// violation, a path too long, a failed registry open) and reparse points
// in a tree. A copy that runs out of room leaves a part of the new file in
// a writable target, and full paths follow Windows' rules for "." and "..".
// Nothing new is made on a drive the machine lacks or on a CD-ROM. Paths
// and registry names compare with ASCII case ignored.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "script/effects.h"

// What no file name may hold under Windows: the control characters and
// < > : " | ? * (the backslash separates names).
extern const char kInvalidNameChars[];

// The effect methods a failure can be injected into, one per method that
// returns a result (FindClose and FreeLibrary cannot fail); kAny is every one.
enum class EffectCall {
  kAny, kCopyFile, kMoveFileEx, kDeleteFile, kGetFileAttributes,
  kSetFileAttributes, kCreateDirectory, kRemoveDirectory, kFindFirstFile,
  kFindNextFile, kReadWholeFile, kWriteNewFile, kAppendToFile,
  kGetTempFileName, kGetSystemDirectory, kGetWindowsDirectory, kGetTempPath,
  kGetCurrentDirectory, kSetCurrentDirectory, kGetFullPathName,
  kGetLogicalDrives, kGetDriveType, kRegCreateKeyEx, kRegOpenKeyEx,
  kRegQueryValueEx, kRegSetValueEx, kRegDeleteValue, kRegDeleteKey,
  kRegEnumKeyEx, kRegFlushKey, kSHGetSpecialFolderPath, kCreateShellLink,
  kShellExecute, kCreateProcess, kLoadLibrary, kCallEntryPoint,
  kAddFontResource, kRemoveFontResource, kDetectTcpIp, kListenOnTcpPort,
};
// The method's name, as the failure log has it ("*" for kAny).
const char* EffectCallName(EffectCall call);

class MemoryEffects : public Effects {
 public:
  MemoryEffects();
  ~MemoryEffects() override { ReportUnfired(); }

  // ---- What a test sets up and looks at ----
  // `text` with ASCII letters upper-cased: how paths and registry names
  // compare here.
  static std::string UpperCase(std::string text) {
    for (char& c : text) c = FoldAscii(c);
    return text;
  }
  void WriteFile(const std::string& path, const std::string& content,
                 unsigned long attributes = kAttrArchive);
  std::string ReadFile(const std::string& path) const;
  bool Exists(const std::string& path) const;
  // The full path of `path` by Windows' rules, from the current directory.
  std::string FullPath(const std::string& path) const { return Absolute(path); }
  bool IsDirectory(const std::string& path) const;
  bool IsFile(const std::string& path) const { return Exists(path) && !IsDirectory(path); }
  // Every path below `directory` (files and directories), sorted.
  std::vector<std::string> Tree(const std::string& directory) const;
  // Every file and directory by its upper-cased path: its content (a
  // directory's is "\\") and attributes, for comparing whole machines.
  std::map<std::string, std::string> Files() const;
  // A folder and any missing folders above it, with no effect call.
  void MakeDirectory(const std::string& path);
  // Removes `path` and all it holds, with no effect call; "X:\\" empties
  // the drive.
  void RemoveTree(const std::string& path);
  // Marks a directory as a reparse point (a junction or mount point).
  void MakeReparsePoint(const std::string& path);
  // The next `times` calls of `call` on a path or key containing `pathPart`
  // (case ignored; "" for any), after the first `skip` of them, fail with
  // `status`. A registry key whose open fails makes every call on it fail:
  // inject kRegOpenKeyEx. times < 0: always. Every injection must fire: one
  // that never fired goes to the unfired report (SetUnfiredReport; the
  // tests make it a test failure) when the failures are cleared or the
  // machine ends.
  void InjectFailure(EffectCall call, const std::string& pathPart,
                     Status status, int times = -1, int skip = 0);
  // Another program at work: just before the next call of `call` on a path
  // containing `pathPart`, `path` goes with all it holds; the call then
  // runs as it would. It must fire as an injected failure must.
  void InjectRemoval(EffectCall call, const std::string& pathPart,
                     const std::string& path) {
    injections_.push_back(Injection{call, pathPart, kOk, 1, 0, false, path});
  }
  // Every injected failure is forgotten, once those that never fired are
  // reported.
  void ClearFailures() {
    ReportUnfired();
    injections_.clear();
  }
  // Where an injection that never fired is reported, for every machine: a
  // text naming it. None by default.
  typedef void (*UnfiredReport)(const std::string& text);
  static void SetUnfiredReport(UnfiredReport report) { unfiredReport_ = report; }
  // Forgets the injections that never fired, without a report; how many.
  int DisarmUnfired();
  // Each injected failure that fired, in order: "CopyFile C:\a|C:\b".
  std::vector<std::string> injectedFailures;
  // Registry values as stored: `data` is every byte written.
  bool RegValue(RegRoot root, const std::string& path, const std::string& name,
                std::string* data) const;
  // Every value of a key by upper-cased name, as stored; none when the key
  // is not there.
  std::map<std::string, std::string> RegValues(RegRoot root, const std::string& path) const;
  bool RegKeyExists(RegRoot root, const std::string& path) const;
  // Every key ("ROOT\KEY") and value ("ROOT\KEY|NAME", its bytes and
  // whether it is a string), upper-cased: for comparing whole machines.
  std::map<std::string, std::string> Registry() const;
  // Every file and directory as created, in the order of their upper-cased
  // paths (a folder before what it holds): for saving a machine.
  struct Entry {
    std::string path;
    bool directory;
    std::string content;
    unsigned long attributes;
  };
  std::vector<Entry> Entries() const;
  // Every registry key with its values, names as first written, keys in the
  // order of their upper-cased paths (a key before its subkeys).
  struct RegEntry {
    std::string name;
    std::string data;  // every byte written
    bool isString;
  };
  struct RegKeyEntry {
    RegRoot root;
    std::string path;
    std::vector<RegEntry> values;
  };
  std::vector<RegKeyEntry> RegKeys() const;
  void SetRegString(RegRoot root, const std::string& path,
                    const std::string& name, const std::string& text);
  // A value with exactly these bytes, a string (REG_SZ) or not.
  void SetRegValue(RegRoot root, const std::string& path, const std::string& name,
                   const std::string& bytes, bool isString);
  // A value of another type than REG_SZ.
  void SetRegBinary(RegRoot root, const std::string& path,
                    const std::string& name, const std::string& bytes);

  std::vector<std::string> processesStarted;  // command lines, in order
  // Paths a MoveFileEx without a destination left for the next start.
  std::vector<std::string> deletesAtRestart;
  unsigned long processExitCode = 0;
  std::map<std::string, std::map<std::string, long>> libraries;  // entries
  // Upper-cased library path -> its entries and their results; the entries
  // found, as "PATH entry", whether or not they exist.
  std::vector<std::string> entriesCalled;
  // Each add counts, as Windows counts them; a remove takes one away.
  std::multiset<std::string> fontsAdded;
  // "path -> target args[..] in dir icon path,index" (parts when set)
  std::vector<std::string> linksSaved;
  std::set<unsigned short> takenPorts;
  std::string systemDirectory = "C:\\windows\\system32";
  std::string windowsDirectory = "C:\\windows";
  std::string tempPath = "C:\\windows\\temp\\";
  std::string currentDirectory = "C:\\setup";
  std::map<char, int> driveTypes = {{'C', kDriveFixed}};  // upper-case letters
  // SHGetSpecialFolderPath's answers by CSIDL; any other folder is missing.
  std::map<int, std::string> specialFolders = {
      {kCsidlPrograms, "C:\\users\\test\\Start Menu\\Programs"},
      {kCsidlStartup, "C:\\users\\test\\Start Menu\\Programs\\StartUp"},
      {kCsidlDesktopDirectory, "C:\\users\\test\\Desktop"},
      {kCsidlProfile, "C:\\users\\test"},
      {kCsidlProgramFiles, "C:\\Program Files"}};

  // ---- The effect interface ----
  Status CopyFile(const char* from, const char* to, bool failIfExists) override;
  Status MoveFileEx(const char* from, const char* to, unsigned flags) override;
  Status DeleteFile(const char* path) override;
  Status GetFileAttributes(const char* path, unsigned long* attributes) override;
  Status SetFileAttributes(const char* path, unsigned long attributes) override;
  Status CreateDirectory(const char* path) override;
  Status RemoveDirectory(const char* path) override;
  Status FindFirstFile(const char* pattern, FindData* entry,
                       FindRef* find) override;
  Status FindNextFile(FindRef find, FindData* entry) override;
  void FindClose(FindRef find) override;
  Status ReadWholeFile(const char* path, ByteBuffer* contents) override;
  Status WriteNewFile(const char* path, const char* data, size_t size) override;
  Status AppendToFile(const char* path, const char* data, size_t size) override;
  Status GetTempFileName(const char* directory, const char* prefix,
                         char (&path)[kPathMax]) override;
  Status GetSystemDirectory(char (&path)[kPathMax]) override;
  Status GetWindowsDirectory(char (&path)[kPathMax]) override;
  Status GetTempPath(char (&path)[kPathMax]) override;
  Status GetCurrentDirectory(char (&path)[kPathMax]) override;
  Status SetCurrentDirectory(const char* path) override;
  Status GetFullPathName(const char* path, char (&fullPath)[kPathMax]) override;
  unsigned long GetLogicalDrives() override;
  int GetDriveType(const char* root) override;
  Status RegCreateKeyEx(RegRoot root, const char* path) override;
  Status RegOpenKeyEx(RegRoot root, const char* path, bool fullAccess) override;
  Status RegQueryValueEx(RegRoot root, const char* path, const char* name,
                         char* buffer, size_t capacity) override;
  Status RegSetValueEx(RegRoot root, const char* path, const char* name,
                       const char* data, size_t size) override;
  Status RegDeleteValue(RegRoot root, const char* path,
                        const char* name) override;
  Status RegDeleteKey(RegRoot root, const char* path) override;
  Status RegEnumKeyEx(RegRoot root, const char* path, unsigned index,
                      char* name, size_t capacity) override;
  Status RegFlushKey(RegRoot root, const char* path) override;
  Status SHGetSpecialFolderPath(int csidl, char (&path)[kPathMax]) override;
  Status CreateShellLink(const ShellLinkFields& link,
                         const char* linkPath) override;
  Status ShellExecute(const char* file, const char* parameters,
                      const char* directory) override;
  Status CreateProcess(const char* application, const char* commandLine, const char* directory,
                       bool wait, unsigned long* exitCode) override;
  Status LoadLibrary(const char* name, LibraryRef* library) override;
  Status CallEntryPoint(LibraryRef library, const char* entry,
                        long* result) override;
  void FreeLibrary(LibraryRef library) override;
  Status AddFontResource(const char* path) override;
  Status RemoveFontResource(const char* path) override;
  Status DetectTcpIp() override;
  Status ListenOnTcpPort(unsigned short port) override;

 private:
  struct Node {
    std::string path;  // as created
    bool directory;
    std::string content;
    unsigned long attributes;
    bool Unwritable() const { return directory || (attributes & kAttrReadOnly); }
  };
  struct RegValueNode {
    std::string name;  // as first written
    std::string data;  // every byte written
    bool isString;     // REG_SZ
  };
  struct RegKeyNode {
    std::string path;                            // as created
    std::map<std::string, RegValueNode> values;  // by upper-cased name
  };
  struct Injection {
    EffectCall call;
    std::string pathPart;
    Status status;
    int times;
    int skip;
    bool fired;
    std::string removes;  // InjectRemoval: what goes instead of a failure
  };
  struct FindState {
    std::vector<FindData> entries;
    size_t next;
  };

  // The injected failure of this call, if any: `alsoAs` is the call a rule
  // may name instead (a registry key's open for every call on the key).
  Status Injected(EffectCall call, const std::string& subject,
                  EffectCall alsoAs = EffectCall::kAny);
  void ReportUnfired() const;
  Status DirectoryOf(EffectCall call, const std::string& directory,
                     char (&path)[kPathMax]);
  Status WriteContent(EffectCall call, const char* path,
                      const std::string& before, const char* data, size_t size);
  void OverwritePart(const Node* source, const char* to);
  Node* Find(const std::string& path);
  const Node* Find(const std::string& path) const;
  void Put(const Node& node);
  void AddDirectory(const std::string& fullPath);
  Status CheckNewEntry(const std::string& path) const;
  bool IsDriveRoot(const std::string& path) const;
  Status NotFound(const std::string& path) const;
  Status CheckTarget(const char* to, bool replace, Status existing) const;
  template <typename Use>
  Status OnKey(EffectCall call, RegRoot root, const char* path, Use use);
  std::string Absolute(const std::string& path) const;

  static UnfiredReport unfiredReport_;
  std::map<std::string, Node> files_;  // by upper-cased absolute path
  std::map<std::string, RegKeyNode> keys_;
  std::vector<Injection> injections_;
  unsigned tempCounter_ = 0;
};
