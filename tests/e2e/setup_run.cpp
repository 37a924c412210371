// End-to-end fixture: working directory, program start, box answering.
#include "tests/e2e/setup_run.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "tests/common/trace.h"

const char kStateKey[] = "Software\\Kelvaro";

static const DWORD kBoxTimeoutMs = 30000;
static const DWORD kExitTimeoutMs = 60000;

void SetupRun::SetUp() {
  scratch_ = new ScratchDirectory();
  ASSERT_TRUE(CopyFileA(VORN_SETUP_EXE, (Dir() + "\\setup.exe").c_str(), FALSE))
      << "cannot copy " << VORN_SETUP_EXE;
  DeleteRegistryTree(HKEY_LOCAL_MACHINE, kStateKey);
  session_ = new robot::Session();
}

void SetupRun::TearDown() {
  delete session_;  // ends a program that still runs
  session_ = nullptr;
  for (const std::string& path : filesOutside_) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
  }
  delete scratch_;
  scratch_ = nullptr;
  DeleteRegistryTree(HKEY_LOCAL_MACHINE, kStateKey);
}

std::string SetupRun::PathOf(const std::string& name) const {
  return name.size() > 1 && name[1] == ':' ? name : Dir() + "\\" + name;
}

void SetupRun::WriteFile(const std::string& name, const std::string& content) {
  scratch_->WriteFile(name, content);
}

void SetupRun::WriteStartingFiles(const std::vector<std::string>& files) {
  for (std::string entry : files) {
    bool readOnly = entry[0] == '!';
    if (readOnly) entry.erase(0, 1);
    size_t eq = entry.find('=');
    std::string path = entry.substr(0, eq);
    for (size_t cut = path.find('\\'); cut != std::string::npos;
         cut = path.find('\\', cut + 1)) {
      CreateDirectoryA(PathOf(path.substr(0, cut)).c_str(), nullptr);
    }
    if (eq == std::string::npos) continue;  // a folder alone
    if (PathOf(path) == path) {
      filesOutside_.push_back(path);
      std::ofstream(path, std::ios::binary) << entry.substr(eq + 1);
    } else {
      WriteFile(path, entry.substr(eq + 1));
    }
    if (readOnly) {
      SetFileAttributesA(PathOf(path).c_str(), FILE_ATTRIBUTE_READONLY);
    }
  }
}

std::string SetupRun::ReadFile(const std::string& name) const {
  std::ifstream in(PathOf(name), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool SetupRun::FileExists(const std::string& name) const {
  return GetFileAttributesA(PathOf(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string SetupRun::Trace() const { return JoinCrLfLines(ReadFile("out.txt")); }

// Each start gets a session of its own; the previous program, if it still
// runs, is ended.
void SetupRun::Start(const std::string& args) {
  delete session_;
  session_ = new robot::Session();
  ASSERT_TRUE(session_->Start(Dir() + "\\setup.exe", args, Dir()));
}

robot::MessageBoxInfo SetupRun::NextBox() {
  robot::MessageBoxInfo box;
  EXPECT_TRUE(session_->WaitForMessageBox(&box, kBoxTimeoutMs))
      << "no message box appeared";
  return box;
}

void SetupRun::Press(const robot::MessageBoxInfo& box, int button) {
  EXPECT_TRUE(session_->Press(box, button));
}

int SetupRun::Finish(int button, std::vector<robot::MessageBoxInfo>* boxes) {
  robot::MessageBoxInfo box;
  while (session_->WaitForMessageBox(&box, kBoxTimeoutMs)) {
    if (boxes) boxes->push_back(box);
    session_->Press(box, robot::ChooseButton(box, button));
  }
  int code = 12345;
  EXPECT_TRUE(session_->WaitForExit(kExitTimeoutMs, &code)) << "setup.exe did not end";
  return code;
}

int SetupRun::RunToEnd(const std::string& args,
                       std::vector<robot::MessageBoxInfo>* boxes) {
  Start(args);
  return Finish(0, boxes);
}

std::string SetupRun::StateValue(const char* name) const {
  std::string bytes;
  if (!ReadRegistryValue(HKEY_LOCAL_MACHINE, kStateKey, name, &bytes)) return "";
  return bytes.substr(0, 1);
}

std::string SetupRun::StateString(const char* name) const {
  std::string bytes;
  if (!ReadRegistryValue(HKEY_LOCAL_MACHINE, kStateKey, name, &bytes)) return "(none)";
  return std::string(bytes.c_str());
}

std::string Mark(const std::string& tag) {
  return "AppendFile \"" + tag + "\" \"out.txt\"\n";
}

std::string BasicMessages() {
  return "set ERROR_TTL \"Setup error\"\n"
         "set ERROR_INI_SYNTAX \"Unknown keyword: %s\"\n"
         "set ERROR_INI_INC \"Missing section\"\n"
         "set ERROR_SYNTAX \"Missing %s\"\n";
}
