// The setup dialogs end to end, driven by the UI robot as a user would:
// each case a script, the steps the user takes, and what the script saw
// afterwards (the lines of out.txt) with the exit code. A step is one line:
//   dialog ID        wait for the dialog that holds control ID
//   click ID         click a button          key RETURN|ESCAPE   close
//   type ID TEXT     type into an edit       select PATH / expand PATH (tree)
//   row N / double N select or double-click a row of the list
//   box              the message box; answered with its first button
//   text ID TEXT     control ID shows TEXT   caption TEXT
//   enabled ID 0|1   roots A,B  (the tree's top items)
//   button PATH 0|1  whether a tree item shows an expand button
//   plus PATH        click a tree item's expand button (it is not selected)
//   rmdir PATH       remove a folder behind the dialog's back
//   noitem PATH      the tree has no such item
//   length ID N      the control's text has N characters
//   gone ID          no dialog holds control ID any more
//   runs A|B         the visible progress dialogs' status lines, each
//                    owned by the one before (waited for)
#include <windows.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/setup_run.h"

namespace {

struct DialogCase {
  const char* name;
  std::vector<std::string> files;  // "path=content" in the run's directory
  std::string script;              // after the messages
  const char* args;
  std::vector<std::string> steps;
  int exitCode;
  std::string trace;
};

const char kMessages[] =
    "set SETUPNAME \"Vorn\"\nset ABORT_MSG \"Stopped\"\n"
    "set APP_TITTLE \"Vorn Setup\"\nset INTRO \"Welcome\\nto Vorn\"\n"
    "set STATICINSTALLDIR \"Folder\"\nset INTROCHDIR_BTN \"Change...\"\n"
    "set INTROOK_BTN \"Go on\"\nset INTROCANCEL_BTN \"Stop\"\n"
    "set NEWDIR_TTL \"Pick a folder\"\nset NEWDIR_BTN \"New folder\"\n"
    "set LICENCE_TTL \"Licence\"\nset LICENCEOK_BTN \"Yes\"\n"
    "set LICENCECANCEL_BTN \"No\"\nset DSTDIR \"C:\\dest\"\n";

// Adds "true" or "false" to out.txt, as the condition flag says.
std::string Answer() {
  return "If\n" + Mark("true") + "Else\n" + Mark("false") + "Endif\n";
}
std::string Record(const char* variable) {
  return std::string("AppendFile ") + variable + " \"out.txt\"\n";
}

const std::string kIntro = "IShowInstallDlg\n" + Answer() + Record("DSTDIR");
const std::string kLicence = "ShowFile \"lic.txt\"\n" + Answer();
const std::string kSetupType = "SetupType\n" + Answer() + Record("SETUPTYPE");
const std::string kSmtp = "GetSMTPServer\n" + Answer() + Record("STMPServer");
// A call of a section the file does not have: an error of the run.
const std::string kMissingSection =
    "set ERROR_TTL \"Oops\"\nset ERROR_INI_INC \"No section\"\ngoto \"Nowhere\"\n";
// Statements enough to keep a run going for a second or two.
std::string LongRun() {
  std::string lines;
  for (int i = 0; i < 60000; ++i) lines += "set V \"x\"\n";
  return lines;
}
const std::string kLongRun = LongRun();
const char kTypes[] = "set SETUPTYPE0 \"Typical\"\nset SETUPTYPE1 \"Minimal\"\n";
// Lines of 80 bytes, as a long licence has them: 200 KB, shown whole.
std::string BigLicence(int lines = 2560) {
  std::string text;
  for (int i = 0; i < lines; ++i) text += std::string(78, 'L') + "\r\n";
  return text;
}
const std::string kBigLicence = BigLicence();
// 8 MB: the dialog shows its lines up to 256 KB (3,276 lines) and a note.
const int kHugeLicenceLines = 104858;
const std::string kHugeLicenceShown = std::to_string(
    3276 * 80 + std::string("\r\n\r\n(Only the first 262080 of 8388640 bytes of this "
                            "file are shown.)").size());

const DialogCase kCases[] = {
    // ---- Intro page ----
    {"IntroContinue", {}, kIntro, "", {"dialog 1014", "click 1"}, 0, "true|C:\\dest"},
    {"IntroEnter", {}, kIntro, "", {"dialog 1014", "key RETURN"}, 0, "true|C:\\dest"},
    {"IntroAbort", {}, kIntro, "", {"dialog 1014", "click 2"}, 0, "false|C:\\dest"},
    {"IntroEscape", {}, kIntro, "", {"dialog 1014", "key ESCAPE"}, 0, "false|C:\\dest"},
    {"IntroCloseBox", {}, kIntro, "", {"dialog 1014", "close"}, 0, "false|C:\\dest"},
    {"IntroSkippedInSilentMode", {}, kIntro, "/SILENT", {}, 0, "true|C:\\dest"},
    {"IntroSkippedWithACommandLineDirectory", {}, kIntro, "C:\\given", {}, 0,
     "true|C:\\dest"},
    {"IntroTexts", {}, kIntro, "",
     {"dialog 1014", "caption Vorn Setup", "text 0 Welcome\r\nto Vorn", "text 1047 Folder",
      "text 1015 Change...", "text 1 Go on", "text 2 Stop", "text 1014 C:\\dest", "click 1"},
     0, "true|C:\\dest"},
    {"IntroWithoutItsMessages", {}, "Clr INTRO\nClr APP_TITTLE\n" + kIntro, "",
     {"dialog 1014", "caption ", "text 0 ", "click 1"}, 0, "true|C:\\dest"},
    {"IntroDestinationWithAPercent", {}, "set DSTDIR \"C:\\50%s off\"\n" + kIntro, "",
     {"dialog 1014", "text 1014 C:\\50%s off", "click 1"}, 0, "true|C:\\50%s off"},
    {"IntroChangesTheDestination", {}, kIntro, "",
     {"dialog 1014", "click 1015", "dialog 1012", "expand c:", "select c:\\vorn-links",
      "click 1", "gone 1012", "dialog 1014", "text 1014 c:\\vorn-links", "click 1"},
     0, "true|c:\\vorn-links"},
    {"IntroChooserCancelled", {}, kIntro, "",
     {"dialog 1014", "click 1015", "dialog 1012", "select c:\\vorn-links", "click 2",
      "gone 1012", "dialog 1014", "text 1014 C:\\dest", "click 1"},
     0, "true|C:\\dest"},
    // ---- Directory chooser ----
    {"ChooserListsTheDrivesAndConfirmsFoldersOnly", {}, kIntro, "",
     {"dialog 1014", "click 1015", "dialog 1012", "caption Pick a folder", "roots c:,d:",
      "enabled 1 0", "select c:", "enabled 1 0", "text 1009 c:\\",
      "select c:\\vorn-links", "enabled 1 1", "text 1009 c:\\vorn-links\\",
      "select d:", "enabled 1 0", "text 1009 d:\\", "select c:\\vorn-links", "click 1",
      "dialog 1014", "click 2"},
     0, "false|c:\\vorn-links"},
    // Selecting a drive, then expanding a folder with its button, enables OK
    // for the folder while the drive stays selected: OK must not take it.
    {"ChooserNeverConfirmsADrive", {}, kIntro, "",
     {"dialog 1014", "click 1015", "dialog 1012", "expand c:", "plus c:\\vorn-links",
      "enabled 1 1", "click 1", "dialog 1012", "text 1009 c:\\vorn-links\\", "click 2",
      "dialog 1014", "click 2"},
     0, "false|C:\\dest"},
    {"ChooserIgnoresNewFolderWithNothingSelected", {}, kIntro, "",
     {"dialog 1014", "click 1015", "dialog 1012", "click 1008", "gone 1013", "click 2",
      "dialog 1014", "click 2"},
     0, "false|C:\\dest"},
    {"NewFolderThatCannotBeCreatedLeavesNoItem", {},
     "MkDir \"C:\\vorn-links\\going\"\n" + kIntro, "",
     {"dialog 1014", "click 1015", "dialog 1012", "expand c:", "expand c:\\vorn-links",
      "select c:\\vorn-links\\going", "rmdir C:\\vorn-links\\going", "click 1008",
      "dialog 1013", "type 1013 inner", "click 1", "gone 1013", "dialog 1012",
      "noitem c:\\vorn-links\\going\\inner", "text 1009 c:\\vorn-links\\going\\",
      "click 2", "dialog 1014", "click 2"},
     0, "false|C:\\dest"},
    {"UndefinedDestinationStaysUndefined", {},
     "Clr DSTDIR\nIShowInstallDlg\n" + Answer() + "Strcmp DSTDIR \"\"\n" + Answer(), "",
     {"dialog 1014", "text 1014 ", "click 1015", "dialog 1012", "click 2", "dialog 1014",
      "click 1"},
     0, "true|true"},  // still no text: Strcmp reads no value as ""
    {"CancelledChooserKeepsALongDestination", {},
     "set DSTDIR \"C:\\" + std::string(300, 'd') + "\"\n" + kIntro, "",
     {"dialog 1014", "click 1015", "dialog 1012", "click 2", "dialog 1014", "click 1"}, 0,
     "true|C:\\" + std::string(300, 'd')},
    {"ChooserShowsExpandButtonsWhereFoldersAre", {}, kIntro, "",
     {"dialog 1014", "click 1015", "dialog 1012", "expand c:", "expand c:\\vorn-links",
      "button c:\\vorn-links\\outside 0", "button c:\\vorn-links\\tree 1", "click 2",
      "dialog 1014", "click 2"},
     0, "false|C:\\dest"},
    {"NewFolderIsCreatedAndSelected", {}, kIntro + "Exist \"C:\\vorn-links\\Made\"\n" + Answer(),
     "",
     {"dialog 1014", "click 1015", "dialog 1012", "select c:\\vorn-links", "click 1008",
      "dialog 1013", "text 1013 New folder", "type 1013 Made", "click 1", "gone 1013",
      "dialog 1012", "text 1009 c:\\vorn-links\\Made\\", "enabled 1 1", "click 1",
      "dialog 1014", "click 1"},
     0, "true|c:\\vorn-links\\Made|true"},
    {"NewFolderPromptEscapedCreatesNothing",
     {}, kIntro + "Exist \"C:\\vorn-links\\New folder\"\n" + Answer(), "",
     {"dialog 1014", "click 1015", "dialog 1012", "select c:\\vorn-links", "click 1008",
      "dialog 1013", "key ESCAPE", "gone 1013", "dialog 1012",
      "text 1009 c:\\vorn-links\\", "click 2", "dialog 1014", "click 2"},
     0, "false|C:\\dest|false"},
    {"InvalidFolderNameKeepsThePromptOpen", {}, kIntro, "",
     {"dialog 1014", "click 1015", "dialog 1012", "select c:\\vorn-links", "click 1008",
      "dialog 1013", "type 1013 a:b", "click 1", "dialog 1013", "text 1013 a:b",
      "key ESCAPE", "gone 1013", "dialog 1012", "click 2", "dialog 1014", "click 2"},
     0, "false|C:\\dest"},
    {"FolderWithAPercentInItsName", {},
     "MkDir \"C:\\vorn-links\\50%s off\"\n" + kIntro, "",
     {"dialog 1014", "click 1015", "dialog 1012", "expand c:", "select c:\\vorn-links",
      "expand c:\\vorn-links", "select c:\\vorn-links\\50%s off",
      "text 1009 c:\\vorn-links\\50%s off\\", "click 1", "dialog 1014",
      "text 1014 c:\\vorn-links\\50%s off", "click 1"},
     0, "true|c:\\vorn-links\\50%s off"},
    {"NewFolderNameLimitedToWhatThePathLeaves", {},
     "MkDir \"C:\\vorn-links\\" + std::string(240, 'n') + "\"\n" + kIntro, "",
     {"dialog 1014", "click 1015", "dialog 1012", "expand c:", "select c:\\vorn-links",
      "expand c:\\vorn-links", "select c:\\vorn-links\\" + std::string(240, 'n'),
      "click 1008", "dialog 1013", "type 1013 abcdefgh", "text 1013 abcd",
      "key ESCAPE", "gone 1013", "dialog 1012", "click 2", "dialog 1014", "click 2"},
     0, "false|C:\\dest"},
    // ---- Licence ----
    {"LicenceShownWholeAndAgreed", {"lic.txt=First line\r\nSecond line\r\n"}, kLicence, "",
     {"dialog 1016", "caption Licence", "text 1016 First line\r\nSecond line\r\n",
      "text 1 Yes", "text 2 No", "click 1"},
     0, "true"},
    {"LicenceOf200KB", {"lic.txt=" + kBigLicence}, kLicence, "",
     {"dialog 1016", "length 1016 204800", "key RETURN"}, 0, "true"},
    {"LicenceOf8MBShowsItsFirstPartAndANote", {"lic.txt=" + BigLicence(kHugeLicenceLines)},
     kLicence, "", {"dialog 1016", "length 1016 " + kHugeLicenceShown, "key RETURN"}, 0,
     "true"},
    {"LicenceMissingShowsTheTemplate", {}, kLicence, "",
     {"dialog 1016", "caption Licence Agreement", "text 1016 ", "text 1 Agree",
      "text 2 Disagree", "click 2"},
     0, "false"},
    {"LicenceEscape", {"lic.txt=x"}, kLicence, "", {"dialog 1016", "key ESCAPE"}, 0, "false"},
    {"LicenceCloseBox", {"lic.txt=x"}, kLicence, "", {"dialog 1016", "close"}, 0, "false"},
    {"LicenceInSilentMode", {"lic.txt=x"}, kLicence, "/SILENT", {}, 0, "true"},
    // ---- Setup type ----
    {"SetupTypeByContinue", {}, kTypes + kSetupType, "",
     {"dialog 1019", "rows Typical,Minimal", "selected 0", "row 1", "click 1"}, 0,
     "true|Minimal"},
    {"SetupTypeByDoubleClick", {}, kTypes + kSetupType, "", {"dialog 1019", "double 1"}, 0,
     "true|Minimal"},
    {"SetupTypeRowsWithAGap", {},
     "set SETUPTYPE1 \"Second\"\nset SETUPTYPE3 \"Fourth\"\n" + kSetupType, "",
     {"dialog 1019", "rows Second,Fourth", "row 1", "key RETURN"}, 0, "true|Fourth"},
    {"SetupTypeShownInSilentMode", {}, kTypes + kSetupType, "/SILENT",
     {"dialog 1019", "click 1"}, 0, "true|Typical"},
    {"SetupTypeAbortEndsTheRun", {}, kTypes + kSetupType, "",
     {"dialog 1019", "click 2", "box Vorn Stopped"}, 0, ""},
    // An error path just before must leave nothing behind that answers the
    // dialog or its abort box: the user still chooses, also in silent mode.
    {"SetupTypeAfterAMissingSectionInSilentMode", {}, kTypes + kMissingSection + kSetupType,
     "/SILENT", {"dialog 1019", "row 1", "click 1"}, 1, "true|Minimal"},
    {"SetupTypeAbortAfterAMissingIncludedSectionInSilentMode", {"other.ini=[Other]\n"},
     std::string(kTypes) + "Include \"other.ini\" \"Nowhere\"\n" + kSetupType, "/SILENT",
     {"dialog 1019", "click 2", "box Vorn Stopped"}, 1, ""},
    {"SetupTypeAfterAMissingSectionShown", {},
     kTypes + kMissingSection + kSetupType, "",
     {"box Oops No section", "dialog 1019", "row 1", "click 1"}, 1, "true|Minimal"},
    // ---- The runs' progress dialogs ----
    // A dialog that asks stands over the dialogs of every run it is in.
    {"RunsDialogsStandBehindADialog", {},
     kTypes + std::string("goto \"Inner\"\n[Inner]\nSetupType\n"), "",
     {"dialog 1019", "runs Setup...|Setup...", "click 1"}, 0, ""},
    // A run long enough to be seen shows its dialog, though nothing asks.
    {"ALongRunShowsItsDialog", {}, "goto \"Inner\"\n[Inner]\n" + kLongRun, "",
     {"runs Setup...|Setup..."}, 0, ""},
    // ---- SMTP prompt ----
    {"SmtpDefault", {}, kSmtp, "", {"dialog 1035", "text 1035 mail", "click 1"}, 0,
     "true|mail"},
    {"SmtpEmptyKeepsItOpen", {}, kSmtp, "/SILENT",
     {"dialog 1035", "type 1035 ", "click 1", "key ESCAPE", "dialog 1035",
      "type 1035 smtp.example.org", "key RETURN"},
     0, "true|smtp.example.org"},
    {"SmtpAfterAMissingSectionInSilentMode", {}, kMissingSection + kSmtp, "/SILENT",
     {"dialog 1035", "type 1035 smtp.example.org", "click 1"}, 1, "true|smtp.example.org"},
    {"SmtpNameOf300CharactersKeeps254", {}, kSmtp, "",
     {"dialog 1035", "type 1035 " + std::string(300, 's'), "length 1035 254", "click 1"}, 0,
     "true|" + std::string(254, 's')},
};

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::stringstream in(text);
  for (std::string part; std::getline(in, part, separator);) parts.push_back(part);
  if (!text.empty() && text.back() == separator) parts.push_back("");
  return parts;
}

const DWORD kStepMs = 60000;

class DialogCases : public SetupRun, public ::testing::WithParamInterface<DialogCase> {
 protected:
  // Runs one step on the current dialog; false stops the case.
  bool Step(const std::string& step) {
    SCOPED_TRACE(step.substr(0, 80));
    size_t space = step.find(' ');
    std::string verb = step.substr(0, space);
    std::string rest = space == std::string::npos ? "" : step.substr(space + 1);
    size_t second = rest.find(' ');
    int id = atoi(rest.c_str());
    std::string tail = second == std::string::npos ? "" : rest.substr(second + 1);
    if (verb == "dialog") {
      bool found = Session().WaitForDialog(id, kStepMs, &dialog_);
      EXPECT_TRUE(found) << "no dialog with control " << id;
      return found;
    }
    if (verb == "runs") {
      std::string seen;
      for (int i = 0; i < 200 && (seen = RunDialogs()) != rest; ++i) Sleep(25);
      EXPECT_EQ(seen, rest);
      return seen == rest;
    }
    if (verb == "gone") {
      for (int i = 0; i < 100; ++i) {
        HWND any;
        if (!Session().FindDialog(id, &any)) return true;
        Sleep(50);
      }
      ADD_FAILURE() << "control " << id << " is still shown";
      return false;
    }
    if (verb == "click") return Check(robot::ClickButton(dialog_, id, kStepMs));
    if (verb == "key") {
      UINT vk = rest == "RETURN" ? VK_RETURN : VK_ESCAPE;
      return Check(robot::PressKey(dialog_, vk, kStepMs));
    }
    if (verb == "close") return Check(robot::CloseDialog(dialog_, kStepMs));
    if (verb == "type") return Check(robot::TypeText(dialog_, id, tail));
    if (verb == "select") return Check(robot::SelectTreeItem(dialog_, 1012, rest, kStepMs));
    if (verb == "expand") return Check(robot::ExpandTreeItem(dialog_, 1012, rest, kStepMs));
    if (verb == "plus") {
      return Check(robot::ClickTreeItemButton(dialog_, 1012, rest, kStepMs));
    }
    if (verb == "rmdir") return Check(RemoveDirectoryA(rest.c_str()) != 0);
    if (verb == "row") return Check(robot::SelectListItem(dialog_, 1019, id, kStepMs));
    if (verb == "double") return Check(robot::DoubleClickListItem(dialog_, 1019, id, kStepMs));
    if (verb == "text") {
      EXPECT_EQ(robot::ControlText(dialog_, id), tail);
    } else if (verb == "caption") {
      EXPECT_EQ(robot::TextOf(dialog_), rest);
    } else if (verb == "length") {
      EXPECT_EQ(robot::ControlText(dialog_, id).size(), static_cast<size_t>(atoi(tail.c_str())));
    } else if (verb == "enabled") {
      EXPECT_EQ(robot::IsControlEnabled(dialog_, id), tail == "1");
    } else if (verb == "roots" || verb == "button" || verb == "noitem") {
      CheckTree(verb, rest);
    } else if (verb == "rows") {
      std::string rows;
      for (const std::string& row : robot::ListItems(dialog_, 1019)) rows += row + ",";
      EXPECT_EQ(rows, rest + ",");
    } else if (verb == "selected") {
      EXPECT_EQ(robot::ListSelection(dialog_, 1019), id);
    } else if (verb == "box") {
      robot::MessageBoxInfo box = NextBox();
      EXPECT_EQ(box.caption + " " + box.text, rest);
      Press(box, box.buttons.empty() ? 0 : box.buttons[0]);
    } else {
      ADD_FAILURE() << "unknown step";
      return false;
    }
    return true;
  }
  // The status lines of the visible progress dialogs along their owners:
  // the one the main window owns first, then the one it owns, and so on;
  // "?" stands for visible ones left outside that chain.
  std::string RunDialogs() {
    std::vector<HWND> dialogs = Session().VisibleProgressDialogs();
    robot::WindowInfo main;
    HWND owner = Session().FindMainWindow(&main) ? main.hwnd : nullptr;
    std::string seen;
    for (size_t found = 0; found < dialogs.size(); ++found) {
      auto next = std::find_if(dialogs.begin(), dialogs.end(),
                               [owner](HWND d) { return GetWindow(d, GW_OWNER) == owner; });
      if (next == dialogs.end()) return seen + "|?";
      seen += (seen.empty() ? "" : "|") + robot::ControlText(*next, 1001);
      owner = *next;
    }
    return seen;
  }
  bool Check(bool done) {
    EXPECT_TRUE(done);
    return done;
  }
  void CheckTree(const std::string& verb, const std::string& rest) {
    std::vector<robot::TreeItem> items = robot::TreeItems(dialog_, 1012);
    if (verb == "roots") {
      std::string roots;
      for (const robot::TreeItem& item : items) {
        if (item.level == 0) roots += (roots.empty() ? "" : ",") + item.text;
      }
      EXPECT_EQ(roots, rest);
      return;
    }
    if (verb == "noitem") {
      for (const robot::TreeItem& item : items) {
        EXPECT_NE(_stricmp(item.path.c_str(), rest.c_str()), 0) << "the item is there";
      }
      return;
    }
    size_t cut = rest.rfind(' ');
    std::string path = rest.substr(0, cut);
    for (const robot::TreeItem& item : items) {
      if (_stricmp(item.path.c_str(), path.c_str()) == 0) {
        EXPECT_EQ(item.hasButton, rest.substr(cut + 1) == "1");
        return;
      }
    }
    ADD_FAILURE() << "no tree item " << path;
  }
  HWND dialog_ = nullptr;
};

TEST_P(DialogCases, Run) {
  const DialogCase& c = GetParam();
  WriteStartingFiles(c.files);
  WriteScript("[Setup]\n" + std::string(kMessages) + c.script);
  Start(c.args);
  for (const std::string& step : c.steps) {
    if (!Step(step)) break;
  }
  EXPECT_EQ(Finish(0), c.exitCode);
  EXPECT_EQ(Trace(), c.trace);
}

std::string CaseName(const ::testing::TestParamInfo<DialogCase>& tested) {
  return tested.param.name;
}

INSTANTIATE_TEST_SUITE_P(Dialogs, DialogCases, ::testing::ValuesIn(kCases), CaseName);

}  // namespace
