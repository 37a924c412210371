// End-to-end fixture: working directory, program start, box answering, and
// the rows of E2eCase: what is there before, the steps, what holds after.
#include "tests/e2e/setup_run.h"

#include <algorithm>

#include "dialogs/resource.h"
#include "tests/common/trace.h"

const char kStateKey[] = "Software\\Kelvaro";

const char kMessages[] =
    "set ERROR_TTL \"Setup error\"\nset ERROR_INI_SYNTAX \"Unknown keyword: %s\"\n"
    "set ERROR_INI_INC \"Missing section\"\nset ERROR_SYNTAX \"Missing %s\"\n"
    "set SETUPNAME \"Vorn\"\nset ABORT_MSG \"Stopped\"\n"
    "set APP_TITTLE \"Vorn Setup\"\nset INTRO \"Welcome\\nto Vorn\"\n"
    "set STATICINSTALLDIR \"Folder\"\nset INTROCHDIR_BTN \"Change...\"\n"
    "set INTROOK_BTN \"Go on\"\nset INTROCANCEL_BTN \"Stop\"\n"
    "set NEWDIR_TTL \"Pick a folder\"\nset NEWDIR_BTN \"New folder\"\n"
    "set LICENCE_TTL \"Licence\"\nset LICENCEOK_BTN \"Yes\"\n"
    "set LICENCECANCEL_BTN \"No\"\nset COPY_MSG \"Copying %s\"\n"
    "set ERROR_COPY_TTL \"Copy failed\"\nset ERROR_COPY_MSG \"Cannot copy %s to %s\"\n"
    "set ERROR_MOVE_TTL \"Move failed\"\nset ERROR_MOVE_MSG \"Cannot move %s to %s\"\n"
    "set SEARCHING_FILES_MSG \"Searching %s\"\nset REGISTERING_MSG \"Registering %s\"\n"
    "set ERROR_LOAD_DLL \"Cannot load %s\"\nset ERROR_REG_DLL \"Cannot register %s\"\n"
    "set ERROR_UREG_DLL \"Cannot unregister %s\"\n";

int MessageCount() {
  const std::string messages = kMessages;
  return static_cast<int>(std::count(messages.begin(), messages.end(), '\n'));
}

static const DWORD kBoxTimeoutMs = 30000;
static const DWORD kExitTimeoutMs = 60000;
static const DWORD kStepMs = 60000;
static const DWORD kShownMs = 5000;  // for a dialog to come or go

// Keys the cases write, removed before and after each.
static const struct {
  HKEY root;
  const char* key;
} kTouchedKeys[] = {
    {HKEY_LOCAL_MACHINE, kStateKey},
    {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vorn E2E"},
    {HKEY_CLASSES_ROOT, ".vorn"},
    {HKEY_CLASSES_ROOT, ".vam"},
    {HKEY_CLASSES_ROOT, "vorn_file"},
    {HKEY_CLASSES_ROOT, "vam_auto_file"},
    {HKEY_CLASSES_ROOT, ".vorntest"},
    {HKEY_CLASSES_ROOT, "VornTestDocument"},
};

static void DeleteTouchedKeys() {
  for (const auto& touched : kTouchedKeys) DeleteRegistryTree(touched.root, touched.key);
}

void SetupRun::SetUp() {
  scratch_ = std::make_unique<ScratchDirectory>();
  ASSERT_TRUE(CopyFileA(VORN_SETUP_EXE, (Dir() + "\\setup.exe").c_str(), FALSE))
      << "cannot copy " << VORN_SETUP_EXE;
  DeleteTouchedKeys();
  session_ = std::make_unique<robot::Session>();
}

void SetupRun::TearDown() {
  session_.reset();  // ends a program that still runs
  for (HANDLE file : held_) CloseHandle(file);
  for (const std::string& path : filesOutside_) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
  }
  scratch_.reset();
  DeleteTouchedKeys();
}

std::string SetupRun::PathOf(const std::string& name) const {
  return name.size() > 1 && name[1] == ':' ? name : Dir() + "\\" + name;
}

void SetupRun::WriteFile(const std::string& name, const std::string& content) {
  scratch_->WriteFile(name, content);
}

std::string SetupRun::ReadFile(const std::string& name) const {
  return ReadWholeFile(PathOf(name));
}

bool SetupRun::FileExists(const std::string& name) const {
  return GetFileAttributesA(PathOf(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string SetupRun::Trace() const { return JoinCrLfLines(ReadFile("out.txt")); }

std::string SetupRun::Here(std::string text) const {
  for (size_t at = text.find("$DIR"); at != std::string::npos;
       at = text.find("$DIR", at + Dir().size())) {
    text.replace(at, 4, Dir());
  }
  return text;
}

// Each start gets a session of its own; the previous program, if it still
// runs, is ended.
void SetupRun::Start(const std::string& args) {
  session_ = std::make_unique<robot::Session>();
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

// ---- Rows ----

namespace {

// "HKCR\key|name=value" split into its parts.
struct RegistryItem {
  HKEY root;
  std::string key, name, value;
  bool hasName, hasValue;
};

bool IsRegistryItem(const std::string& text) { return text.compare(0, 2, "HK") == 0; }

RegistryItem ParseRegistryItem(const std::string& text) {
  RegistryItem item;
  item.root = text.compare(0, 4, "HKCR") == 0 ? HKEY_CLASSES_ROOT : HKEY_LOCAL_MACHINE;
  size_t bar = text.find('|');
  item.key = text.substr(5, bar == std::string::npos ? std::string::npos : bar - 5);
  item.hasName = bar != std::string::npos;
  size_t eq = item.hasName ? text.find('=', bar) : std::string::npos;
  item.hasValue = eq != std::string::npos;
  if (item.hasName) item.name = text.substr(bar + 1, eq - bar - 1);
  if (item.hasValue) item.value = text.substr(eq + 1);
  return item;
}

// "word rest" split at its first space.
std::string Word(const std::string& text, std::string* rest) {
  size_t space = text.find(' ');
  *rest = space == std::string::npos ? "" : text.substr(space + 1);
  return text.substr(0, space);
}

const struct {
  const char* name;
  int id;
} kControlIds[] = {
    {"IDOK", IDOK},
    {"IDCANCEL", IDCANCEL},
    {"IDC_INTRO_TEXT", IDC_INTRO_TEXT},
    {"IDC_DESTINATION", IDC_DESTINATION},
    {"IDC_CHANGE_DESTINATION", IDC_CHANGE_DESTINATION},
    {"IDC_DESTINATION_GROUP", IDC_DESTINATION_GROUP},
    {"IDC_NEW_FOLDER", IDC_NEW_FOLDER},
    {"IDC_CHOSEN_PATH", IDC_CHOSEN_PATH},
    {"IDC_FOLDER_TREE", IDC_FOLDER_TREE},
    {"IDC_NEW_FOLDER_NAME", IDC_NEW_FOLDER_NAME},
    {"IDC_LICENCE_TEXT", IDC_LICENCE_TEXT},
    {"IDC_SETUP_TYPES", IDC_SETUP_TYPES},
    {"IDC_SMTP_SERVER", IDC_SMTP_SERVER},
};

int ControlId(const std::string& name) {
  for (const auto& control : kControlIds) {
    if (name == control.name) return control.id;
  }
  ADD_FAILURE() << "no control " << name;
  return -1;
}

bool Check(bool done) {
  EXPECT_TRUE(done);
  return done;
}

}  // namespace

std::string CaseName(const ::testing::TestParamInfo<E2eCase>& tested) { return tested.param.name; }

std::vector<E2eCase> Framed(const std::string& head, std::vector<E2eCase> rows,
                            const std::string& tail) {
  for (E2eCase& row : rows) row.script = head + row.script + tail;
  return rows;
}

TEST_P(Cases, Run) { RunCase(GetParam()); }

void SetupRun::RunCase(const E2eCase& c) {
  for (const std::string& entry : c.before) {
    if (entry.find("E:\\") <= 1 && GetFileAttributesA("E:\\") == INVALID_FILE_ATTRIBUTES) {
      GTEST_SKIP() << "no small drive E: here (it needs a tmpfs mount); "
                      "the native tests cover a full disk";
    }
  }
  for (const std::string& entry : c.before) Prepare(Here(entry));
  WriteScript(Here(c.script));
  Start(Here(c.args));
  for (const std::string& step : c.steps) {
    if (!Step(Here(step))) break;
  }
  EXPECT_EQ(Finish(answer_), c.exitCode);
  for (HANDLE file : held_) CloseHandle(file);
  held_.clear();
  std::string trace = Trace();
  if (trace.find("\\tem") != std::string::npos) trace.replace(0, trace.find('|'), "(temp)");
  EXPECT_EQ(trace, Here(c.trace));
  CheckAfter(c.after);
}

void SetupRun::Hold(const std::string& path) {
  held_.push_back(
      CreateFileA(PathOf(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_NE(held_.back(), INVALID_HANDLE_VALUE) << path;
}

void SetupRun::Prepare(const std::string& before) {
  std::string entry = before;
  if (IsRegistryItem(entry)) {
    RegistryItem item = ParseRegistryItem(entry);
    WriteRegistryString(item.root, item.key.c_str(), item.name.c_str(), item.value);
    return;
  }
  std::string rest;
  std::string word = Word(entry, &rest);
  if (word == "held") {
    Hold(rest);
    return;
  }
  if (word == "font") {
    ASSERT_TRUE(CopyFileA((std::string("Z:") + VORN_TEST_FONT).c_str(), PathOf(rest).c_str(),
                          FALSE)) << VORN_TEST_FONT;
    return;
  }
  bool helper = word == "helper";
  if (helper) entry = rest;
  bool readOnly = entry[0] == '!';
  if (readOnly) entry.erase(0, 1);
  size_t eq = entry.find('=');
  std::string path = helper ? entry.substr(eq + 1) : entry.substr(0, eq);
  for (size_t cut = path.find('\\'); cut != std::string::npos; cut = path.find('\\', cut + 1)) {
    CreateDirectoryA(PathOf(path.substr(0, cut)).c_str(), nullptr);
  }
  if (helper) {
    std::string from = std::string(VORN_HELPERS_DIR) + "\\" + entry.substr(0, eq);
    ASSERT_TRUE(CopyFileA(from.c_str(), PathOf(path).c_str(), FALSE)) << entry;
    return;
  }
  if (eq == std::string::npos) return;  // a folder alone
  if (PathOf(path) == path) {
    filesOutside_.push_back(path);
    WriteWholeFile(path, entry.substr(eq + 1));
  } else {
    WriteFile(path, entry.substr(eq + 1));
  }
  if (readOnly) SetFileAttributesA(PathOf(path).c_str(), FILE_ATTRIBUTE_READONLY);
}

bool SetupRun::Step(const std::string& step) {
  SCOPED_TRACE(step.substr(0, 80));
  std::string rest;
  std::string verb = Word(step, &rest);
  if (verb == "answer") {
    answer_ = rest == "no" ? IDNO : 0;
    return true;
  }
  if (verb == "hold") {
    robot::MessageBoxInfo box;
    bool shown = session_->WaitForMessageBox(&box, kBoxTimeoutMs);
    EXPECT_TRUE(shown) << "no box to hold " << rest << " at";
    if (shown) Hold(rest);
    return shown;
  }
  if (verb == "end") {
    robot::MessageBoxInfo box;
    bool shown = session_->WaitForMessageBox(&box, kBoxTimeoutMs);
    EXPECT_FALSE(shown) << "another box: " << box.caption << ": " << box.text;
    return !shown;
  }
  if (verb == "box") {
    robot::MessageBoxInfo box = NextBox();
    size_t holds = rest.find(": ~");
    if (holds != std::string::npos) {
      EXPECT_EQ(box.caption, rest.substr(0, holds));
      EXPECT_NE(box.text.find(rest.substr(holds + 3)), std::string::npos) << box.text;
    } else if (!rest.empty()) {
      EXPECT_EQ(box.caption + ": " + box.text, rest);
    }
    Press(box, box.buttons.empty() ? 0 : box.buttons[0]);
    return true;
  }
  if (verb == "dialog") {
    bool found = Session().WaitForDialog(ControlId(rest), kStepMs, &dialog_);
    EXPECT_TRUE(found) << "no dialog with control " << rest;
    return found;
  }
  if (verb == "runs") {
    std::string seen;
    bool shown = robot::PollUntil(kShownMs, [&] { return (seen = RunDialogs()) == rest; });
    EXPECT_EQ(seen, rest);
    return shown;
  }
  if (verb == "gone") {
    HWND any;
    int id = ControlId(rest);
    bool gone = robot::PollUntil(kShownMs, [&] { return !Session().FindDialog(id, &any); });
    EXPECT_TRUE(gone) << rest << " is still shown";
    return gone;
  }
  return DialogStep(verb, rest);
}

// Steps that act on the current dialog.
bool SetupRun::DialogStep(const std::string& verb, const std::string& rest) {
  std::string text;
  if (verb == "click") return Check(robot::ClickButton(dialog_, ControlId(rest), kStepMs));
  if (verb == "key") {
    return Check(robot::PressKey(dialog_, rest == "RETURN" ? VK_RETURN : VK_ESCAPE, kStepMs));
  }
  if (verb == "close") return Check(robot::CloseDialog(dialog_, kStepMs));
  if (verb == "type") {
    int id = ControlId(Word(rest, &text));
    return Check(robot::TypeText(dialog_, id, text));
  }
  if (verb == "select") {
    return Check(robot::SelectTreeItem(dialog_, IDC_FOLDER_TREE, rest, kStepMs));
  }
  if (verb == "expand") {
    return Check(robot::ExpandTreeItem(dialog_, IDC_FOLDER_TREE, rest, kStepMs));
  }
  if (verb == "plus") {
    return Check(robot::ClickTreeItemButton(dialog_, IDC_FOLDER_TREE, rest, kStepMs));
  }
  if (verb == "rmdir") return Check(RemoveDirectoryA(rest.c_str()) != 0);
  if (verb == "row") {
    return Check(robot::SelectListItem(dialog_, IDC_SETUP_TYPES, atoi(rest.c_str()), kStepMs));
  }
  if (verb == "double") {
    return Check(robot::DoubleClickListItem(dialog_, IDC_SETUP_TYPES, atoi(rest.c_str()), kStepMs));
  }
  return CheckStep(verb, rest);
}

bool SetupRun::CheckStep(const std::string& verb, const std::string& rest) {
  std::string text;
  if (verb == "caption") {
    EXPECT_EQ(robot::TextOf(dialog_), rest);
  } else if (verb == "text") {
    int id = ControlId(Word(rest, &text));
    EXPECT_EQ(robot::ControlText(dialog_, id), text);
  } else if (verb == "length") {
    int id = ControlId(Word(rest, &text));
    EXPECT_EQ(robot::ControlText(dialog_, id).size(), static_cast<size_t>(atoi(text.c_str())));
  } else if (verb == "enabled") {
    int id = ControlId(Word(rest, &text));
    EXPECT_EQ(robot::IsControlEnabled(dialog_, id), text == "1");
  } else if (verb == "roots" || verb == "button" || verb == "noitem") {
    CheckTree(verb, rest);
  } else if (verb == "rows") {
    std::string rows;
    for (const std::string& row : robot::ListItems(dialog_, IDC_SETUP_TYPES)) rows += row + ",";
    EXPECT_EQ(rows, rest + ",");
  } else if (verb == "selected") {
    EXPECT_EQ(robot::ListSelection(dialog_, IDC_SETUP_TYPES), atoi(rest.c_str()));
  } else {
    ADD_FAILURE() << "unknown step";
    return false;
  }
  return true;
}

// The status lines of the visible progress dialogs along their owners: the
// one the main window owns first, then the one it owns, and so on; "?"
// stands for visible ones left outside that chain.
std::string SetupRun::RunDialogs() {
  std::vector<HWND> dialogs = Session().VisibleProgressDialogs();
  robot::WindowInfo main;
  HWND owner = Session().FindMainWindow(&main) ? main.hwnd : nullptr;
  std::string seen;
  for (size_t found = 0; found < dialogs.size(); ++found) {
    auto next = std::find_if(dialogs.begin(), dialogs.end(),
                             [owner](HWND d) { return GetWindow(d, GW_OWNER) == owner; });
    if (next == dialogs.end()) return seen + "|?";
    seen += (seen.empty() ? "" : "|") + robot::ControlText(*next, IDC_STATUS_LINE);
    owner = *next;
  }
  return seen;
}

void SetupRun::CheckTree(const std::string& verb, const std::string& rest) {
  std::vector<robot::TreeItem> items = robot::TreeItems(dialog_, IDC_FOLDER_TREE);
  std::string roots;
  size_t cut = rest.rfind(' ');
  std::string path = verb == "button" ? rest.substr(0, cut) : rest;
  bool found = false;
  for (const robot::TreeItem& item : items) {
    if (item.level == 0) roots += (roots.empty() ? "" : ",") + item.text;
    if (_stricmp(item.path.c_str(), path.c_str()) != 0) continue;
    found = true;
    if (verb == "button") {
      EXPECT_EQ(item.hasButton, rest.substr(cut + 1) == "1");
    }
  }
  if (verb == "roots") {
    EXPECT_EQ(roots, rest);
  } else if (verb == "noitem") {
    EXPECT_FALSE(found) << "the item is there";
  } else {
    EXPECT_TRUE(found) << "no tree item " << path;
  }
}

void SetupRun::CheckAfter(const std::vector<std::string>& expectations) {
  for (const std::string& expectation : expectations) CheckOne(Here(expectation));
}

void SetupRun::CheckOne(const std::string& expectation) {
  SCOPED_TRACE(expectation.substr(0, 120));
  bool absent = expectation[0] == '-';
  std::string rest;
  std::string word = Word(expectation, &rest);
  if (IsRegistryItem(expectation.substr(absent || expectation[0] == '+' ? 1 : 0))) {
    CheckRegistry(expectation);
  } else if (word == "state") {
    size_t eq = rest.find('=');
    EXPECT_EQ(StateValue(rest.substr(0, eq).c_str()), rest.substr(eq + 1));
  } else if (word == "writable") {
    EXPECT_FALSE(GetFileAttributesA(PathOf(rest).c_str()) & FILE_ATTRIBUTE_READONLY);
  } else if (absent && expectation.find('~') == std::string::npos) {
    EXPECT_FALSE(FileExists(expectation.substr(1)));
  } else {
    size_t cut = expectation.find_first_of("=~");
    std::string content = ReadFile(expectation.substr(absent ? 1 : 0, cut - (absent ? 1 : 0)));
    std::string wanted = expectation.substr(cut + 1);
    if (expectation[cut] == '=') {
      EXPECT_TRUE(FileExists(expectation.substr(0, cut)));
      EXPECT_EQ(content, wanted);
    } else {
      EXPECT_EQ(content.find(wanted) == std::string::npos, absent) << content;
    }
  }
}

void SetupRun::CheckRegistry(const std::string& expectation) {
  bool absent = expectation[0] == '-';
  bool present = expectation[0] == '+';
  RegistryItem item = ParseRegistryItem(expectation.substr(absent || present ? 1 : 0));
  if (!item.hasName) {
    HKEY key;
    LONG status = RegOpenKeyExA(item.root, item.key.c_str(), 0, KEY_READ, &key);
    if (status == ERROR_SUCCESS) RegCloseKey(key);
    EXPECT_EQ(status == ERROR_SUCCESS, present);
    return;
  }
  std::string bytes;
  bool found = ReadRegistryValue(item.root, item.key.c_str(), item.name.c_str(), &bytes);
  if (absent) {
    EXPECT_FALSE(found);
  } else {
    EXPECT_EQ(bytes, item.value + std::string(1, '\0'));
  }
}

std::string Mark(const std::string& tag) { return "AppendFile \"" + tag + "\" \"out.txt\"\n"; }

std::string MarkIf(const std::string& test, const std::string& tag) {
  return test + "\nIf\n" + Mark(tag) + "Endif\n";
}
