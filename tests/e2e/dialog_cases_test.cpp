// The setup dialogs end to end, driven by the UI robot as a user would:
// each case a script, the steps the user takes, and what the script saw
// afterwards (the lines of out.txt) with the exit code.
#include <string>
#include <vector>

#include "tests/e2e/setup_run.h"

namespace {

// Adds "true" or "false" to out.txt, as the condition flag says.
std::string Answer() { return "If\n" + Mark("true") + "Else\n" + Mark("false") + "Endif\n"; }
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
                            "file are shown.)")
                    .size());

// The intro page's chooser opened, and both closed with Cancel.
const std::vector<std::string> kOpenChooser = {
    "dialog IDC_DESTINATION", "click IDC_CHANGE_DESTINATION", "dialog IDC_FOLDER_TREE"};
const std::vector<std::string> kCancelBoth = {"click IDCANCEL", "dialog IDC_DESTINATION",
                                              "click IDCANCEL"};

// Every question of the dialogs and boxes in one script, and a file that
// answers them all.
const std::string kYesNo = "MsgBoxYESNO \"Keep the old settings?\" \"Vorn\"\n" + Answer();
const std::string kEveryQuestion =
    kIntro + kLicence + kTypes + kSetupType + kSmtp + kYesNo;
const std::string kEveryAnswer =
    "answers.txt=; recorded\nIShowInstallDlg = continue\nDSTDIR = C:\\Quill\n"
    "ShowFile \"lic.txt\" = disagree\nSETUPTYPE = minimal\nSTMPServer = smtp.example.org\n"
    "MsgBoxYESNO \"Keep the old settings?\" = no\n";

std::vector<std::string> Steps(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> steps;
  for (const std::vector<std::string>& part : parts) {
    steps.insert(steps.end(), part.begin(), part.end());
  }
  return steps;
}

const std::vector<E2eCase> kCases = {
    // ---- Intro page ----
    {"IntroContinue", {}, kIntro, "", {"dialog IDC_DESTINATION", "click IDOK"}, 0, "true|C:\\dest"},
    {"IntroEnter", {}, kIntro, "", {"dialog IDC_DESTINATION", "key RETURN"}, 0, "true|C:\\dest"},
    {"IntroAbort", {}, kIntro, "", {"dialog IDC_DESTINATION", "click IDCANCEL"}, 0,
     "false|C:\\dest"},
    {"IntroEscape", {}, kIntro, "", {"dialog IDC_DESTINATION", "key ESCAPE"}, 0, "false|C:\\dest"},
    {"IntroCloseBox", {}, kIntro, "", {"dialog IDC_DESTINATION", "close"}, 0, "false|C:\\dest"},
    {"IntroSkippedInSilentMode", {}, kIntro, "/SILENT", {}, 0, "true|C:\\dest"},
    {"IntroSkippedWithACommandLineDirectory", {}, kIntro, "C:\\given", {}, 0, "true|C:\\dest"},
    {"IntroTexts", {}, kIntro, "",
     {"dialog IDC_DESTINATION", "caption Vorn Setup", "text IDC_INTRO_TEXT Welcome\r\nto Vorn",
      "text IDC_DESTINATION_GROUP Folder", "text IDC_CHANGE_DESTINATION Change...",
      "text IDOK Go on", "text IDCANCEL Stop", "text IDC_DESTINATION C:\\dest", "click IDOK"}, 0,
     "true|C:\\dest"},
    {"IntroWithoutItsMessages", {}, "Clr INTRO\nClr APP_TITTLE\n" + kIntro, "",
     {"dialog IDC_DESTINATION", "caption ", "text IDC_INTRO_TEXT ", "click IDOK"}, 0,
     "true|C:\\dest"},
    {"IntroDestinationWithAPercent", {}, "set DSTDIR \"C:\\50%s off\"\n" + kIntro, "",
     {"dialog IDC_DESTINATION", "text IDC_DESTINATION C:\\50%s off", "click IDOK"}, 0,
     "true|C:\\50%s off"},
    {"IntroChangesTheDestination", {}, kIntro, "",
     Steps({kOpenChooser,
            {"expand c:", "select c:\\vorn-links", "click IDOK", "gone IDC_FOLDER_TREE",
             "dialog IDC_DESTINATION", "text IDC_DESTINATION c:\\vorn-links", "click IDOK"}}), 0,
     "true|c:\\vorn-links"},
    {"IntroChooserCancelled", {}, kIntro, "",
     Steps({kOpenChooser,
            {"select c:\\vorn-links", "click IDCANCEL", "gone IDC_FOLDER_TREE",
             "dialog IDC_DESTINATION", "text IDC_DESTINATION C:\\dest", "click IDOK"}}), 0,
     "true|C:\\dest"},
    // ---- Directory chooser ----
    {"ChooserListsTheDrivesAndConfirmsFoldersOnly", {}, kIntro, "",
     Steps({kOpenChooser,
            {"caption Pick a folder", "roots c:,d:", "enabled IDOK 0", "select c:",
             "enabled IDOK 0", "text IDC_CHOSEN_PATH c:\\", "select c:\\vorn-links",
             "enabled IDOK 1", "text IDC_CHOSEN_PATH c:\\vorn-links\\", "select d:",
             "enabled IDOK 0", "text IDC_CHOSEN_PATH d:\\", "select c:\\vorn-links", "click IDOK",
             "dialog IDC_DESTINATION", "click IDCANCEL"}}), 0, "false|c:\\vorn-links"},
    // Selecting a drive, then expanding a folder with its button, enables OK
    // for the folder while the drive stays selected: OK must not take it.
    {"ChooserNeverConfirmsADrive", {}, kIntro, "",
     Steps({kOpenChooser,
            {"expand c:", "plus c:\\vorn-links", "enabled IDOK 1", "click IDOK",
             "dialog IDC_FOLDER_TREE", "text IDC_CHOSEN_PATH c:\\vorn-links\\"}, kCancelBoth}), 0,
     "false|C:\\dest"},
    {"ChooserIgnoresNewFolderWithNothingSelected", {}, kIntro, "",
     Steps({kOpenChooser, {"click IDC_NEW_FOLDER", "gone IDC_NEW_FOLDER_NAME"}, kCancelBoth}), 0,
     "false|C:\\dest"},
    {"NewFolderThatCannotBeCreatedLeavesNoItem", {}, "MkDir \"C:\\vorn-links\\going\"\n" + kIntro,
     "",
     Steps({kOpenChooser,
            {"expand c:", "expand c:\\vorn-links", "select c:\\vorn-links\\going",
             "rmdir C:\\vorn-links\\going", "click IDC_NEW_FOLDER", "dialog IDC_NEW_FOLDER_NAME",
             "type IDC_NEW_FOLDER_NAME inner", "click IDOK", "gone IDC_NEW_FOLDER_NAME",
             "dialog IDC_FOLDER_TREE", "noitem c:\\vorn-links\\going\\inner",
             "text IDC_CHOSEN_PATH c:\\vorn-links\\going\\"}, kCancelBoth}), 0, "false|C:\\dest"},
    // still no text: Strcmp reads no value as ""
    {"UndefinedDestinationStaysUndefined", {},
     "Clr DSTDIR\nIShowInstallDlg\n" + Answer() + "Strcmp DSTDIR \"\"\n" + Answer(), "",
     {"dialog IDC_DESTINATION", "text IDC_DESTINATION ", "click IDC_CHANGE_DESTINATION",
      "dialog IDC_FOLDER_TREE", "click IDCANCEL", "dialog IDC_DESTINATION", "click IDOK"}, 0,
     "true|true"},
    {"CancelledChooserKeepsALongDestination", {},
     "set DSTDIR \"C:\\" + std::string(300, 'd') + "\"\n" + kIntro, "",
     Steps({kOpenChooser, {"click IDCANCEL", "dialog IDC_DESTINATION", "click IDOK"}}), 0,
     "true|C:\\" + std::string(300, 'd')},
    {"ChooserShowsExpandButtonsWhereFoldersAre", {}, kIntro, "",
     Steps({kOpenChooser,
            {"expand c:", "expand c:\\vorn-links", "button c:\\vorn-links\\outside 0",
             "button c:\\vorn-links\\tree 1"}, kCancelBoth}), 0, "false|C:\\dest"},
    {"NewFolderIsCreatedAndSelected", {}, kIntro + "Exist \"C:\\vorn-links\\Made\"\n" + Answer(),
     "",
     Steps({kOpenChooser,
            {"select c:\\vorn-links", "click IDC_NEW_FOLDER", "dialog IDC_NEW_FOLDER_NAME",
             "text IDC_NEW_FOLDER_NAME New folder", "type IDC_NEW_FOLDER_NAME Made", "click IDOK",
             "gone IDC_NEW_FOLDER_NAME", "dialog IDC_FOLDER_TREE",
             "text IDC_CHOSEN_PATH c:\\vorn-links\\Made\\", "enabled IDOK 1", "click IDOK",
             "dialog IDC_DESTINATION", "click IDOK"}}), 0, "true|c:\\vorn-links\\Made|true"},
    {"NewFolderPromptEscapedCreatesNothing", {},
     kIntro + "Exist \"C:\\vorn-links\\New folder\"\n" + Answer(), "",
     Steps({kOpenChooser,
            {"select c:\\vorn-links", "click IDC_NEW_FOLDER", "dialog IDC_NEW_FOLDER_NAME",
             "key ESCAPE", "gone IDC_NEW_FOLDER_NAME", "dialog IDC_FOLDER_TREE",
             "text IDC_CHOSEN_PATH c:\\vorn-links\\"}, kCancelBoth}), 0, "false|C:\\dest|false"},
    {"InvalidFolderNameKeepsThePromptOpen", {}, kIntro, "",
     Steps({kOpenChooser,
            {"select c:\\vorn-links", "click IDC_NEW_FOLDER", "dialog IDC_NEW_FOLDER_NAME",
             "type IDC_NEW_FOLDER_NAME a:b", "click IDOK", "dialog IDC_NEW_FOLDER_NAME",
             "text IDC_NEW_FOLDER_NAME a:b", "key ESCAPE", "gone IDC_NEW_FOLDER_NAME",
             "dialog IDC_FOLDER_TREE"}, kCancelBoth}), 0, "false|C:\\dest"},
    {"FolderWithAPercentInItsName", {}, "MkDir \"C:\\vorn-links\\50%s off\"\n" + kIntro, "",
     Steps({kOpenChooser,
            {"expand c:", "select c:\\vorn-links", "expand c:\\vorn-links",
             "select c:\\vorn-links\\50%s off", "text IDC_CHOSEN_PATH c:\\vorn-links\\50%s off\\",
             "click IDOK", "dialog IDC_DESTINATION",
             "text IDC_DESTINATION c:\\vorn-links\\50%s off", "click IDOK"}}), 0,
     "true|c:\\vorn-links\\50%s off"},
    {"NewFolderNameLimitedToWhatThePathLeaves", {},
     "MkDir \"C:\\vorn-links\\" + std::string(240, 'n') + "\"\n" + kIntro, "",
     Steps({kOpenChooser,
            {"expand c:", "select c:\\vorn-links", "expand c:\\vorn-links",
             "select c:\\vorn-links\\" + std::string(240, 'n'), "click IDC_NEW_FOLDER",
             "dialog IDC_NEW_FOLDER_NAME", "type IDC_NEW_FOLDER_NAME abcdefgh",
             "text IDC_NEW_FOLDER_NAME abcd", "key ESCAPE", "gone IDC_NEW_FOLDER_NAME",
             "dialog IDC_FOLDER_TREE"}, kCancelBoth}), 0, "false|C:\\dest"},
    // ---- Licence ----
    {"LicenceShownWholeAndAgreed", {"lic.txt=First line\r\nSecond line\r\n"}, kLicence, "",
     {"dialog IDC_LICENCE_TEXT", "caption Licence",
      "text IDC_LICENCE_TEXT First line\r\nSecond line\r\n", "text IDOK Yes", "text IDCANCEL No",
      "click IDOK"}, 0, "true"},
    {"LicenceOf200KB", {"lic.txt=" + kBigLicence}, kLicence, "",
     {"dialog IDC_LICENCE_TEXT", "length IDC_LICENCE_TEXT 204800", "key RETURN"}, 0, "true"},
    {"LicenceOf8MBShowsItsFirstPartAndANote", {"lic.txt=" + BigLicence(kHugeLicenceLines)},
     kLicence, "",
     {"dialog IDC_LICENCE_TEXT", "length IDC_LICENCE_TEXT " + kHugeLicenceShown, "key RETURN"}, 0,
     "true"},
    {"LicenceMissingShowsTheTemplate", {}, kLicence, "",
     {"dialog IDC_LICENCE_TEXT", "caption Licence Agreement", "text IDC_LICENCE_TEXT ",
      "text IDOK Agree", "text IDCANCEL Disagree", "click IDCANCEL"}, 0, "false"},
    {"LicenceEscape", {"lic.txt=x"}, kLicence, "", {"dialog IDC_LICENCE_TEXT", "key ESCAPE"}, 0,
     "false"},
    {"LicenceCloseBox", {"lic.txt=x"}, kLicence, "", {"dialog IDC_LICENCE_TEXT", "close"}, 0,
     "false"},
    {"LicenceInSilentMode", {"lic.txt=x"}, kLicence, "/SILENT", {}, 0, "true"},
    // ---- Setup type ----
    {"SetupTypeByContinue", {}, kTypes + kSetupType, "",
     {"dialog IDC_SETUP_TYPES", "rows Typical,Minimal", "selected 0", "row 1", "click IDOK"}, 0,
     "true|Minimal"},
    {"SetupTypeByDoubleClick", {}, kTypes + kSetupType, "", {"dialog IDC_SETUP_TYPES", "double 1"},
     0, "true|Minimal"},
    {"SetupTypeRowsWithAGap", {},
     "set SETUPTYPE1 \"Second\"\nset SETUPTYPE3 \"Fourth\"\n" + kSetupType, "",
     {"dialog IDC_SETUP_TYPES", "rows Second,Fourth", "row 1", "key RETURN"}, 0, "true|Fourth"},
    {"SetupTypeShownInSilentMode", {}, kTypes + kSetupType, "/SILENT",
     {"dialog IDC_SETUP_TYPES", "click IDOK"}, 0, "true|Typical"},
    {"SetupTypeAbortEndsTheRun", {}, kTypes + kSetupType, "",
     {"dialog IDC_SETUP_TYPES", "click IDCANCEL", "box Vorn: Stopped"}, 2, ""},
    // An error path just before must leave nothing behind that answers the
    // dialog or its abort box: the user still chooses, also in silent mode.
    {"SetupTypeAfterAMissingSectionInSilentMode", {}, kTypes + kMissingSection + kSetupType,
     "/SILENT", {"dialog IDC_SETUP_TYPES", "row 1", "click IDOK"}, 1, "true|Minimal"},
    {"SetupTypeAbortAfterAMissingIncludedSectionInSilentMode", {"other.ini=[Other]\n"},
     std::string(kTypes) + "Include \"other.ini\" \"Nowhere\"\n" + kSetupType, "/SILENT",
     {"dialog IDC_SETUP_TYPES", "click IDCANCEL", "box Vorn: Stopped"}, 2, ""},
    {"SetupTypeAfterAMissingSectionShown", {}, kTypes + kMissingSection + kSetupType, "",
     {"box Oops: No section", "dialog IDC_SETUP_TYPES", "row 1", "click IDOK"}, 1, "true|Minimal"},
    // ---- The runs' progress dialogs ----
    // A dialog that asks stands over the dialogs of every run it is in.
    {"RunsDialogsStandBehindADialog", {},
     kTypes + std::string("goto \"Inner\"\n[Inner]\nSetupType\n"), "",
     {"dialog IDC_SETUP_TYPES", "runs Setup...|Setup...", "click IDOK"}, 0, ""},
    // A run long enough to be seen shows its dialog, though nothing asks.
    {"ALongRunShowsItsDialog", {}, "goto \"Inner\"\n[Inner]\n" + kLongRun, "",
     {"runs Setup...|Setup..."}, 0, ""},
    // ---- SMTP prompt ----
    {"SmtpDefault", {}, kSmtp, "",
     {"dialog IDC_SMTP_SERVER", "text IDC_SMTP_SERVER mail", "click IDOK"}, 0, "true|mail"},
    {"SmtpEmptyKeepsItOpen", {}, kSmtp, "/SILENT",
     {"dialog IDC_SMTP_SERVER", "type IDC_SMTP_SERVER ", "click IDOK", "key ESCAPE",
      "dialog IDC_SMTP_SERVER", "type IDC_SMTP_SERVER smtp.example.org", "key RETURN"}, 0,
     "true|smtp.example.org"},
    {"SmtpAfterAMissingSectionInSilentMode", {}, kMissingSection + kSmtp, "/SILENT",
     {"dialog IDC_SMTP_SERVER", "type IDC_SMTP_SERVER smtp.example.org", "click IDOK"}, 1,
     "true|smtp.example.org"},
    {"SmtpNameOf300CharactersKeeps254", {}, kSmtp, "",
     {"dialog IDC_SMTP_SERVER", "type IDC_SMTP_SERVER " + std::string(300, 's'),
      "length IDC_SMTP_SERVER 254", "click IDOK"}, 0, "true|" + std::string(254, 's')},
    // ---- Answers given in advance and recorded ----
    {"AnswersRecordedFromAUser", {"lic.txt=x"}, kEveryQuestion, "/SAVEANSWERS=saved.txt",
     {"dialog IDC_DESTINATION", "click IDOK", "dialog IDC_LICENCE_TEXT", "click IDOK",
      "dialog IDC_SETUP_TYPES", "row 1", "click IDOK", "dialog IDC_SMTP_SERVER", "click IDOK",
      "answer no"}, 0, "true|C:\\dest|true|true|Minimal|true|mail|false",
     {"saved.txt~\r\nIShowInstallDlg = continue\r\nShowFile \"lic.txt\" = agree\r\n"
      "SETUPTYPE = Minimal\r\nSTMPServer = mail\r\nMsgBoxYESNO \"Keep the old settings?\" = no\r\n",
      "-saved.txt~DSTDIR"}},
    {"AnswersReplayedUnattended", {"lic.txt=x", kEveryAnswer}, kEveryQuestion,
     "/SILENT /ANSWERS=answers.txt", {"end"}, 0,
     "true|C:\\Quill|false|true|Minimal|true|smtp.example.org|false"},
    {"AnswersAskWhatTheyLackWhenShown", {"answers.txt=SETUPTYPE = Typical\n"},
     kTypes + kSetupType + kSmtp, "/ANSWERS=answers.txt",
     {"dialog IDC_SMTP_SERVER", "click IDOK"}, 0, "true|Typical|true|mail"},
    {"AnswerMissingEndsAnUnattendedRun", {"answers.txt=STMPServer = mail\n"},
     kTypes + kSetupType + kSmtp, "/SILENT /ANSWERS=answers.txt", {"end"}, 3, ""},
    {"AnswerThatNamesNoRowEndsAnUnattendedRun", {"answers.txt=SETUPTYPE = Complete\n"},
     kTypes + kSetupType, "/SILENT /ANSWERS=answers.txt", {"end"}, 3, ""},
    {"MalformedAnswersFileInstallsNothing",
     {"answers.txt=IShowInstallDlg = continue\nDSTDIR C:\\x\n"}, kIntro,
     "/ANSWERS=answers.txt", {"box Setup: ~answers.txt", "end"}, -1, "",
     {"-out.txt", "state InstallFailled="}},
};

INSTANTIATE_TEST_SUITE_P(Dialogs, Cases,
                         ::testing::ValuesIn(Framed("[Setup]\n" + std::string(kMessages) +
                                                        "set DSTDIR \"C:\\dest\"\n",
                                                    kCases)),
                         CaseName);

}  // namespace
