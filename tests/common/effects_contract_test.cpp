// The effect contract, once per operation, for both implementations.
#include "tests/common/effects_contract.h"

#include <algorithm>
#include <vector>

#include "tests/native/fake_host.h"

const char kContractKey[] = "Software\\VornEffectsContract";

static void DeleteKeyTree(Effects& fx, const std::string& path) {
  char name[kPathMax];
  while (fx.RegEnumKeyEx(kHkeyCurrentUser, path.c_str(), 0, name,
                         sizeof name) == kOk) {
    DeleteKeyTree(fx, path + "\\" + name);
  }
  fx.RegDeleteKey(kHkeyCurrentUser, path.c_str());
}

void EffectsContract::SetUp() {
  machine_ = NewContractMachine();
  dir_ = machine_->Scratch();
  DeleteKeyTree(fx(), kContractKey);
}

void EffectsContract::TearDown() {
  DeleteKeyTree(fx(), kContractKey);
  delete machine_;
}

TEST_F(EffectsContract, CopyFileKeepsOrRefusesTheTarget) {
  machine_->WriteFile(In("a.txt"), "alpha");
  machine_->WriteFile(In("b.txt"), "beta");
  EXPECT_EQ(fx().CopyFile(In("a.txt"), In("c.txt"), true), kOk);
  EXPECT_EQ(machine_->ReadFile(In("c.txt")), "alpha");
  EXPECT_EQ(fx().CopyFile(In("a.txt"), In("b.txt"), true), kErrFileExists);
  EXPECT_EQ(machine_->ReadFile(In("b.txt")), "beta");
  EXPECT_EQ(fx().CopyFile(In("a.txt"), In("b.txt"), false), kOk);
  EXPECT_EQ(machine_->ReadFile(In("b.txt")), "alpha");
  EXPECT_EQ(fx().CopyFile(In("none.txt"), In("d.txt"), false), kErrFileNotFound);
  EXPECT_EQ(fx().CopyFile(In("a.txt"), In("no\\d.txt"), false), kErrPathNotFound);
}

TEST_F(EffectsContract, ReadOnlyFilesAreNeitherReplacedNorDeleted) {
  machine_->WriteFile(In("a.txt"), "alpha");
  machine_->WriteFile(In("ro.txt"), "kept");
  ASSERT_EQ(fx().SetFileAttributes(In("ro.txt"), kAttrReadOnly), kOk);
  EXPECT_EQ(AttributesOf(In("ro.txt")), kOk);
  EXPECT_TRUE(attributes_ & kAttrReadOnly);
  if (machine_->RefusesReadOnlyTargets()) {
    EXPECT_EQ(fx().CopyFile(In("a.txt"), In("ro.txt"), false), kErrAccessDenied);
    EXPECT_EQ(machine_->ReadFile(In("ro.txt")), "kept");
  }
  EXPECT_EQ(fx().DeleteFile(In("ro.txt")), kErrAccessDenied);
  ASSERT_EQ(fx().SetFileAttributes(In("ro.txt"), kAttrNormal), kOk);
  EXPECT_EQ(fx().DeleteFile(In("ro.txt")), kOk);
  EXPECT_EQ(fx().DeleteFile(In("ro.txt")), kErrFileNotFound);
}

TEST_F(EffectsContract, MoveFileExReplacesOnlyWhenAsked) {
  machine_->WriteFile(In("a.txt"), "alpha");
  machine_->WriteFile(In("b.txt"), "beta");
  EXPECT_EQ(fx().MoveFileEx(In("a.txt"), In("b.txt"), 0), kErrAlreadyExists);
  EXPECT_EQ(fx().MoveFileEx(In("a.txt"), In("b.txt"), kMoveReplaceExisting | kMoveCopyAllowed),
            kOk);
  EXPECT_EQ(machine_->ReadFile(In("b.txt")), "alpha");
  EXPECT_EQ(AttributesOf(In("a.txt")), kErrFileNotFound);
  EXPECT_EQ(fx().MoveFileEx(In("a.txt"), In("c.txt"), 0), kErrFileNotFound);
  // A delete left for the next start of Windows leaves the file as it is.
  EXPECT_EQ(fx().MoveFileEx(In("b.txt"), nullptr, kMoveDelayUntilReboot), kOk);
  EXPECT_EQ(machine_->ReadFile(In("b.txt")), "alpha");
}

TEST_F(EffectsContract, DirectoriesAreCreatedListedAndRemoved) {
  EXPECT_EQ(fx().CreateDirectory(In("sub")), kOk);
  EXPECT_EQ(fx().CreateDirectory(In("sub")), kErrAlreadyExists);
  EXPECT_EQ(fx().CreateDirectory(In("no\\sub")), kErrPathNotFound);
  EXPECT_EQ(AttributesOf(In("sub")), kOk);
  EXPECT_TRUE(attributes_ & kAttrDirectory);
  EXPECT_EQ(AttributesOf(In("no\\x")), kErrPathNotFound);
  machine_->WriteFile(In("sub\\one.txt"), "1");
  machine_->WriteFile(In("sub\\two.dat"), "22");
  EXPECT_EQ(fx().RemoveDirectory(In("sub")), kErrDirNotEmpty);

  std::vector<std::string> names;
  FindData entry;
  FindRef find = nullptr;
  ASSERT_EQ(fx().FindFirstFile(In("sub\\*"), &entry, &find), kOk);
  do {
    names.push_back(entry.name + std::string(entry.size == 2 ? "=2" : ""));
  } while (fx().FindNextFile(find, &entry) == kOk);
  EXPECT_EQ(fx().FindNextFile(find, &entry), kErrNoMoreFiles);
  fx().FindClose(find);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"one.txt", "two.dat=2"}));
  ASSERT_EQ(fx().FindFirstFile(In("sub\\*.dat"), &entry, &find), kOk);
  EXPECT_STREQ(entry.name, "two.dat");
  fx().FindClose(find);
  EXPECT_EQ(fx().FindFirstFile(In("sub\\*.none"), &entry, &find), kErrFileNotFound);

  EXPECT_EQ(fx().DeleteFile(In("sub\\one.txt")), kOk);
  EXPECT_EQ(fx().DeleteFile(In("sub\\two.dat")), kOk);
  EXPECT_EQ(fx().RemoveDirectory(In("sub")), kOk);
}

TEST_F(EffectsContract, TempFilesAndPathsTooLong) {
  char temp[kPathMax];
  ASSERT_EQ(fx().GetTempFileName(dir_.c_str(), "vrn", temp), kOk);
  EXPECT_EQ(AttributesOf(temp), kOk);
  EXPECT_EQ(std::string(temp).compare(0, dir_.size(), dir_), 0);
  const char* deep = In(std::string(300, 'd'));
  EXPECT_NE(fx().CreateDirectory(deep), kOk);
  EXPECT_NE(AttributesOf(deep), kOk);
}

TEST_F(EffectsContract, SystemDirectoriesAndTheCurrentDirectory) {
  char path[kPathMax];
  EXPECT_EQ(fx().GetSystemDirectory(path), kOk);
  EXPECT_NE(path[0], 0);
  EXPECT_EQ(fx().GetWindowsDirectory(path), kOk);
  EXPECT_EQ(fx().GetTempPath(path), kOk);
  EXPECT_EQ(path[strlen(path) - 1], '\\');
  char before[kPathMax];
  ASSERT_EQ(fx().GetCurrentDirectory(before), kOk);
  EXPECT_EQ(fx().SetCurrentDirectory(dir_.c_str()), kOk);
  ASSERT_EQ(fx().GetCurrentDirectory(path), kOk);
  EXPECT_STREQ(path, dir_.c_str());
  EXPECT_NE(fx().SetCurrentDirectory(In("missing")), kOk);
  EXPECT_EQ(fx().SetCurrentDirectory(before), kOk);
}

TEST_F(EffectsContract, RegistryStringsKeysAndSubkeys) {
  const RegRoot hkcu = kHkeyCurrentUser;
  const char* key = kContractKey;
  std::string sub = std::string(key) + "\\Sub";
  EXPECT_EQ(fx().RegOpenKeyEx(hkcu, key, false), kErrFileNotFound);
  ASSERT_EQ(fx().RegCreateKeyEx(hkcu, sub.c_str()), kOk);
  EXPECT_EQ(fx().RegOpenKeyEx(hkcu, key, true), kOk);
  EXPECT_EQ(fx().RegSetValueEx(hkcu, key, "Whole", "hello", 6), kOk);
  EXPECT_EQ(fx().RegSetValueEx(hkcu, key, "NoNul", "1", 1), kOk);
  EXPECT_EQ(fx().RegSetValueEx(hkcu, key, nullptr, "dflt", 5), kOk);
  char value[6];
  EXPECT_EQ(fx().RegQueryValueEx(hkcu, key, "whole", value, sizeof value), kOk);
  EXPECT_STREQ(value, "hello");
  EXPECT_EQ(fx().RegQueryValueEx(hkcu, key, "NoNul", value, sizeof value), kOk);
  EXPECT_STREQ(value, "1");
  EXPECT_EQ(fx().RegQueryValueEx(hkcu, key, nullptr, value, sizeof value), kOk);
  EXPECT_STREQ(value, "dflt");
  char small[5];
  EXPECT_EQ(fx().RegQueryValueEx(hkcu, key, "Whole", small, sizeof small), kErrMoreData);
  EXPECT_STREQ(small, "");
  EXPECT_EQ(fx().RegQueryValueEx(hkcu, key, "Missing", value, sizeof value), kErrFileNotFound);

  char name[kPathMax];
  EXPECT_EQ(fx().RegEnumKeyEx(hkcu, key, 0, name, sizeof name), kOk);
  EXPECT_STREQ(name, "Sub");
  EXPECT_EQ(fx().RegEnumKeyEx(hkcu, key, 1, name, sizeof name), kErrNoMoreFiles);
  EXPECT_NE(fx().RegDeleteKey(hkcu, key), kOk);
  EXPECT_EQ(fx().RegDeleteValue(hkcu, key, "NoNul"), kOk);
  EXPECT_EQ(fx().RegDeleteValue(hkcu, key, "NoNul"), kErrFileNotFound);
  EXPECT_EQ(fx().RegFlushKey(hkcu, key), kOk);
  EXPECT_EQ(fx().RegDeleteKey(hkcu, sub.c_str()), kOk);
  EXPECT_EQ(fx().RegDeleteKey(hkcu, key), kOk);
}

TEST_F(EffectsContract, SpecialFoldersExist) {
  for (int csidl : {kCsidlPrograms, kCsidlStartup, kCsidlDesktopDirectory}) {
    SCOPED_TRACE(csidl);
    char path[kPathMax];
    ASSERT_EQ(fx().SHGetSpecialFolderPath(csidl, path), kOk);
    EXPECT_EQ(AttributesOf(path), kOk);
    EXPECT_TRUE(attributes_ & kAttrDirectory);
  }
}

TEST_F(EffectsContract, WholeFilesAreReadWrittenAndAppended) {
  ByteBuffer contents;
  EXPECT_EQ(fx().ReadWholeFile(In("none.txt"), &contents), kErrFileNotFound);
  EXPECT_EQ(fx().ReadWholeFile(In("no\\a.txt"), &contents), kErrPathNotFound);
  ASSERT_EQ(fx().CreateDirectory(In("dir")), kOk);
  EXPECT_NE(fx().ReadWholeFile(In("dir"), &contents), kOk);
  EXPECT_NE(fx().WriteNewFile(In("dir"), "x", 1), kOk);
  std::string big(200000, 'b');  // more than one chunk
  big[0] = '\r';
  big[1] = '\n';
  ASSERT_EQ(fx().WriteNewFile(In("a.txt"), big.data(), big.size()), kOk);
  ASSERT_EQ(fx().WriteNewFile(In("a.txt"), "new", 3), kOk);  // emptied first
  ASSERT_EQ(fx().AppendToFile(In("a.txt"), "\r\nmore", 6), kOk);
  ASSERT_EQ(fx().AppendToFile(In("b.txt"), big.data(), big.size()), kOk);
  EXPECT_EQ(fx().ReadWholeFile(In("a.txt"), &contents), kOk);
  EXPECT_EQ(std::string(contents.data(), contents.size()), "new\r\nmore");
  ByteBuffer second;
  EXPECT_EQ(fx().ReadWholeFile(In("b.txt"), &second), kOk);
  EXPECT_EQ(std::string(second.data(), second.size()), big);
  EXPECT_EQ(fx().AppendToFile(In("no\\c.txt"), "x", 1), kErrPathNotFound);
}

// What the delete guard and the same-path test build on: the full path,
// compared as they compare it (case ignored, no trailing separator).
TEST_F(EffectsContract, FullPathNamesResolveAgainstTheCurrentDirectory) {
  char before[kPathMax], full[kPathMax];
  ASSERT_EQ(fx().GetCurrentDirectory(before), kOk);
  ASSERT_EQ(fx().SetCurrentDirectory(dir_.c_str()), kOk);
  auto normal = [](std::string path) {
    for (char& c : path) c = FoldAscii(c);
    while (path.size() > 3 && path.back() == '\\') path.pop_back();
    return path;
  };
  const std::string rows[][2] = {
      {"a.txt", In("a.txt")},          {"sub\\..\\a.txt", In("a.txt")},
      {".\\sub\\.\\b", In("sub\\b")}, {"sub/b", In("sub\\b")},
      {"a.txt. .", In("a.txt")},       {"sub\\", In("sub")},
      {"\\x", dir_.substr(0, 2) + "\\x"},
      {dir_ + "\\..\\..\\..\\..\\..\\..\\..\\..\\..\\..", dir_.substr(0, 3)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row[0]);
    EXPECT_EQ(fx().GetFullPathName(row[0].c_str(), full), kOk);
    EXPECT_EQ(normal(full), normal(row[1]));
  }
  EXPECT_EQ(fx().GetFullPathName(In(std::string(300, 'd')), full), kErrFilenameTooLong);
  EXPECT_STREQ(full, "");
  EXPECT_EQ(fx().SetCurrentDirectory(before), kOk);
}

TEST_F(EffectsContract, DrivesAreListedWithTheirTypes) {
  unsigned long drives = fx().GetLogicalDrives();
  int letter = FoldAscii(dir_[0]) - 'A';
  EXPECT_TRUE(drives & (1UL << letter));
  EXPECT_EQ(fx().GetDriveType(dir_.substr(0, 3).c_str()), kDriveFixed);
  int missing = 25;
  while (missing > 0 && (drives & (1UL << missing))) --missing;
  std::string root = std::string(1, static_cast<char>('A' + missing)) + ":\\";
  EXPECT_EQ(fx().GetDriveType(root.c_str()), kDriveNoRootDir);
}

TEST_F(EffectsContract, ShellLinksAreSavedIntoExistingFolders) {
  std::string target = In("a.txt");
  machine_->WriteFile(target, "a");
  ShellLinkFields fields = {target.c_str(), "/x", dir_.c_str(), nullptr, 0, "Vorn"};
  EXPECT_EQ(fx().CreateShellLink(fields, In("a.lnk")), kOk);
  EXPECT_EQ(AttributesOf(In("a.lnk")), kOk);
  EXPECT_NE(fx().CreateShellLink(fields, In("no\\a.lnk")), kOk);
}

// A program runs and gives its exit code; a missing program or file is
// not found, whether started or opened.
TEST_F(EffectsContract, ProgramsRunOrAreNotFound) {
  std::string program = machine_->Program();
  unsigned long code = 99;
  EXPECT_EQ(fx().CreateProcess(program.c_str(), ("\"" + program + "\" exit=0").c_str(),
                               dir_.c_str(), true, &code), kOk);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(fx().CreateProcess(In("missing.exe"), "missing.exe", nullptr,
                               true, &code), kErrFileNotFound);
  EXPECT_EQ(fx().ShellExecute(In("missing.txt"), nullptr, nullptr), kErrFileNotFound);
}

TEST_F(EffectsContract, LibrariesLoadCallTheirEntriesAndAreFreed) {
  LibraryRef library = nullptr;
  ASSERT_EQ(fx().LoadLibrary(machine_->Library().c_str(), &library), kOk);
  long result = -1;
  EXPECT_EQ(fx().CallEntryPoint(library, "DllRegisterServer", &result), kOk);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(fx().CallEntryPoint(library, "NoSuchEntryVorn", &result), kErrProcNotFound);
  fx().FreeLibrary(library);
  EXPECT_EQ(fx().LoadLibrary(In("missing.dll"), &library), kErrModNotFound);
  EXPECT_EQ(library, nullptr);
}

TEST_F(EffectsContract, FontsOfAMissingFileAreRefused) {
  EXPECT_EQ(fx().AddFontResource(In("missing.ttf")), kErrFileNotFound);
  EXPECT_EQ(fx().RemoveFontResource(In("missing.ttf")), kErrFileNotFound);
}

// The port probe leaves the port free, and tells a taken one.
TEST_F(EffectsContract, NetworkProbes) {
  EXPECT_EQ(fx().DetectTcpIp(), kOk);
  const unsigned short port = 1200;
  EXPECT_EQ(fx().ListenOnTcpPort(port), kOk);
  machine_->HoldPort(port, true);
  EXPECT_NE(fx().ListenOnTcpPort(port), kOk);
  machine_->HoldPort(port, false);
  EXPECT_EQ(fx().ListenOnTcpPort(port), kOk);
}

// Each failed call reports to the failure log what it was called on; a
// call that succeeds reports nothing.
TEST_F(EffectsContract, FailedCallsReportToTheFailureLog) {
  FakeHost host;
  fx().SetFailureLog(&host);
  machine_->WriteFile(In("a.txt"), "a");
  fx().CopyFile(In("a.txt"), In("b.txt"), false);
  fx().CopyFile(In("none.txt"), In("c.txt"), false);
  fx().SetFailureLog(nullptr);
  fx().CopyFile(In("none.txt"), In("c.txt"), false);
  EXPECT_EQ(host.Matching("log"),
            std::vector<std::string>{"log CopyFile " + std::string(In("none.txt")) + " 2"});
}
