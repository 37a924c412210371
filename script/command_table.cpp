// The command table, in the order of the language reference; lookup is a
// linear first-match scan ignoring ASCII case. Each row says what the
// command's handler reads, which variables it sets and which messages it
// shows (and when), as the handler code does it.
#include "script/command_table.h"

#include "script/text.h"

const CommandRow kCommandTable[] = {
    {"MkDir", kCmdMkDir, kSlotValue, kSlotValue, "",
     "CREATING_DIR_MSG failure: ERROR_COPY_TTL ERROR_CRDIR_MSG"},
    {"CopyA", kCmdCopyA, kSlotValue, kSlotValue, "",
     "COPY_MSG failure: ERROR_COPY_TTL ERROR_COPY_MSG"},
    {"Copy", kCmdCopy, kSlotValue, kSlotValue, "",
     "COPY_MSG failure: ERROR_COPY_TTL ERROR_COPY_MSG"},
    {"CopyS", kCmdCopyS, kSlotValue, kSlotValue, "",
     "COPY_MSG failure: ERROR_COPY_TTL ERROR_COPY_MSG"},
    {"CopyD", kCmdCopyD, kSlotValue, kSlotValue, "",
     "COPY_MSG failure: ERROR_COPY_TTL ERROR_COPY_MSG"},
    {"MoveA", kCmdMoveA, kSlotValue, kSlotValue, "",
     "MOVE_MSG failure: ERROR_MOVE_TTL ERROR_MOVE_MSG"},
    {"Move", kCmdMove, kSlotValue, kSlotValue, "",
     "MOVE_MSG failure: ERROR_MOVE_TTL ERROR_MOVE_MSG"},
    {"MoveS", kCmdMoveS, kSlotValue, kSlotValue, "",
     "MOVE_MSG failure: ERROR_MOVE_TTL ERROR_MOVE_MSG"},
    {"MoveD", kCmdMoveD, kSlotValue, kSlotValue, "",
     "MOVE_MSG failure: ERROR_MOVE_TTL ERROR_MOVE_MSG"},
    {"Register", kCmdRegister, kSlotValue, kSlotUnused, "",
     "REGISTERING_MSG failure: ERROR_TTL ERROR_LOAD_DLL ERROR_REG_DLL"},
    {"MkPgmGroup", kCmdMkPgmGroup, kSlotValue, kSlotUnused, "", "CREATEPGMGROUP_MSG"},
    {"MkLink", kCmdMkLink, kSlotValue, kSlotValue, "LINKARG", "CREATELINK_MSG"},
    {"CopyDir2Dest", kCmdCopyDir2Dest, kSlotValue, kSlotUnused, "",
     "COPY_MSG failure: ERROR_COPY_TTL ERROR_COPY_MSG"},
    {"CreateSourceLink", kCmdCreateSourceLink, kSlotValue, kSlotValue, "LINKARG",
     "CREATELINK_MSG"},
    {"AddPartition", kCmdAddPartition, kSlotValue, kSlotUnused, "",
     "failure: ERROR_OPEN_TTL ERROR_OPEN_MSG"},
    {"set", kCmdSet, kSlotName, kSlotValue, "", ""},
    {"get", kCmdGet, kSlotUnused, kSlotUnused, "", ""},
    {"goto", kCmdGoto, kSlotValue, kSlotUnused, "",
     "missing-section: ERROR_TTL ERROR_INI_INC too-deep: ERROR_TTL"},
    {"quit", kCmdQuit, kSlotValue, kSlotValue, "", ""},
    {"ShowFile", kCmdShowFile, kSlotValue, kSlotUnused, "",
     "LICENCE_TTL LICENCEOK_BTN LICENCECANCEL_BTN"},
    {"GetSystemVars", kCmdGetSystemVars, kSlotUnused, kSlotUnused,
     "SRCDIR DSTDIR CMDLINEDIR WINDIR SYSDIR PROGRAMFILES WINDOWSTEMP languagefile "
     "NETSCAPEPATH NETSCAPEDEFAULT",
     ""},
    {"IShowInstallDlg", kCmdIShowInstallDlg, kSlotUnused, kSlotUnused, "DSTDIR",
     "INTRO APP_TITTLE STATICINSTALLDIR INTROCHDIR_BTN INTROOK_BTN INTROCANCEL_BTN "
     "NEWDIR_TTL NEWDIR_BTN failure: ERROR_TTL ERROR_DIALOG_MSG"},
    {"If", kCmdIf, kSlotUnused, kSlotUnused, "",
     "unclosed-block: ERROR_TTL ERROR_SYNTAX"},
    {"Else", kCmdElse, kSlotUnused, kSlotUnused, "",
     "unclosed-block: ERROR_TTL ERROR_SYNTAX"},
    {"Endif", kCmdEndif, kSlotUnused, kSlotUnused, "", ""},
    {"Exist", kCmdExist, kSlotValue, kSlotUnused, "", ""},
    {"ApplyOnFiles", kCmdApplyOnFiles, kSlotValue, kSlotValue, "DSTDIR",
     "SEARCHING_FILES_MSG missing-section: ERROR_TTL ERROR_INI_INC too-deep: ERROR_TTL"},
    {"Return", kCmdReturn, kSlotUnused, kSlotUnused, "", ""},
    {"MsgBoxOK", kCmdMsgBoxOK, kSlotValue, kSlotValue, "", ""},
    {"MsgBoxOKCancel", kCmdMsgBoxOKCancel, kSlotValue, kSlotValue, "", ""},
    {"DetectTCPIP", kCmdDetectTCPIP, kSlotUnused, kSlotUnused, "", ""},
    {"Strcat", kCmdStrcat, kSlotBoth, kSlotValue, "", ""},
    {"Strcmp", kCmdStrcmp, kSlotValue, kSlotValue, "", ""},
    {"Run", kCmdRun, kSlotValue, kSlotValue, "", ""},
    {"Delete", kCmdDelete, kSlotValue, kSlotValue, "", ""},
    {"Unregister", kCmdUnregister, kSlotValue, kSlotValue, "",
     "failure: ERROR_TTL ERROR_LOAD_DLL ERROR_UREG_DLL"},
    {"Deltree", kCmdDeltree, kSlotValue, kSlotValue, "", ""},
    {"GetPgmGroup", kCmdGetPgmGroup, kSlotName, kSlotUnused, "", ""},
    {"DelPgmGroup", kCmdDelPgmGroup, kSlotValue, kSlotUnused, "", ""},
    {"SetUninstall", kCmdSetUninstall, kSlotValue, kSlotValue, "", ""},
    {"RegisterFont", kCmdRegisterFont, kSlotValue, kSlotUnused, "", ""},
    {"UnregisterFont", kCmdUnregisterFont, kSlotValue, kSlotUnused, "", ""},
    {"FindInFile", kCmdFindInFile, kSlotValue, kSlotValue, "", ""},
    {"ParseFile", kCmdParseFile, kSlotValue, kSlotValue, "TempLine TempStripped",
     "missing-section: ERROR_TTL ERROR_INI_INC too-deep: ERROR_TTL"},
    {"DetectVORN", kCmdDetectVORN, kSlotUnused, kSlotUnused, "VORNpath", ""},
    {"AppendFile", kCmdAppendFile, kSlotValue, kSlotValue, "", ""},
    {"GetTempFileName", kCmdGetTempFileName, kSlotName, kSlotUnused, "", ""},
    {"Include", kCmdInclude, kSlotValue, kSlotValue, "",
     "missing-section: ERROR_TTL ERROR_INI_INC too-deep: ERROR_TTL"},
    {"DelUninstall", kCmdDelUninstall, kSlotValue, kSlotUnused, "", ""},
    {"SetupType", kCmdSetupType, kSlotUnused, kSlotUnused, "SETUPTYPE",
     "SETUPTYPE0 abandon: ABORT_MSG SETUPNAME"},
    {"Clr", kCmdClr, kSlotName, kSlotUnused, "", ""},
    {"Stricmp", kCmdStricmp, kSlotValue, kSlotValue, "", ""},
    {"MsgBoxYESNO", kCmdMsgBoxYESNO, kSlotValue, kSlotValue, "", ""},
    {"RunWait", kCmdRunWait, kSlotValue, kSlotValue, "", ""},
    {"CleanRegistry", kCmdCleanRegistry, kSlotUnused, kSlotUnused, "", ""},
    {"ShowWindow", kCmdShowWindow, kSlotUnused, kSlotUnused, "", ""},
    {"HideWindow", kCmdHideWindow, kSlotUnused, kSlotUnused, "", ""},
    {"CD", kCmdCD, kSlotText, kSlotUnused, "", ""},
    {"GetVornSettings", kCmdGetVornSettings, kSlotUnused, kSlotUnused, "",
     "failure: ERROR_OPEN_TTL ERROR_OPEN_MSG ABORT_MSG SETUPNAME"},
    {"GetSMTPServer", kCmdGetSMTPServer, kSlotUnused, kSlotUnused, "STMPServer",
     "abandon: ABORT_MSG SETUPNAME"},
    {"IsVornUpdated", kCmdIsVornUpdated, kSlotValue, kSlotUnused, "", ""},
    {"IsVornRunning", kCmdIsVornRunning, kSlotUnused, kSlotUnused, "", ""},
    {"ImportOldVorn", kCmdImportOldVorn, kSlotValue, kSlotValue, "",
     "failure: ERROR_COPY_TTL ERROR_COPY_MSG"},
    {"DeleteAllFiles", kCmdDeleteAllFiles, kSlotValue, kSlotValue, "", ""},
    {"CheckForDLL", kCmdCheckForDLL, kSlotValue, kSlotUnused, "", ""},
    {"IsMini", kCmdIsMini, kSlotUnused, kSlotUnused, "", ""},
    {"SetText", kCmdSetText, kSlotValue, kSlotUnused, "", ""},
    {"quiterr", kCmdQuiterr, kSlotValue, kSlotValue, "", ""},
    {"IsSilent", kCmdIsSilent, kSlotUnused, kSlotUnused, "", ""},
    {"InstallSuccess", kCmdInstallSuccess, kSlotUnused, kSlotUnused, "", ""},
    {"CreateDesktopLink", kCmdCreateDesktopLink, kSlotValue, kSlotValue,
     "LINKARG LINKICO",
     "CREATELINK_MSG"},
    {"DestroyDesktopLink", kCmdDestroyDesktopLink, kSlotValue, kSlotUnused, "", ""},
    {"IsSpace", kCmdIsSpace, kSlotUnused, kSlotUnused, "", ""},
    {"CreateStartLink", kCmdCreateStartLink, kSlotValue, kSlotValue, "LINKARG",
     "CREATELINK_MSG"},
    {"DestroyStartLink", kCmdDestroyStartLink, kSlotValue, kSlotUnused, "", ""},
    {"GetVersion", kCmdGetVersion, kSlotValue, kSlotValue, "MAJMIN", ""},
    {"IsGreater", kCmdIsGreater, kSlotValue, kSlotValue, "", ""},
    {"IsLower", kCmdIsLower, kSlotValue, kSlotValue, "", ""},
    {"MkStr", kCmdMkStr, kSlotValue, kSlotUnused, "QTSTR", ""},
    {"CopyWord", kCmdCopyWord, kSlotValue, kSlotUnused, "WORD", ""},
    {"RebootNeeded", kCmdRebootNeeded, kSlotUnused, kSlotUnused, "", ""},
    {"KeepUninstaller", kCmdKeepUninstaller, kSlotValue, kSlotUnused,
     "UNINSTALL_CMD UNINSTALL_QUIET UNINSTALL_ICON",
     "failure: ERROR_COPY_TTL ERROR_COPY_MSG ERROR_CRDIR_MSG"},
};

const int kCommandTableSize =
    static_cast<int>(sizeof(kCommandTable) / sizeof(kCommandTable[0]));

static_assert(sizeof(kCommandTable) / sizeof(kCommandTable[0]) ==
                  kCommandCount - 1,
              "one table row per command identifier");

CommandId FindCommand(const char* keyword) {
  for (const CommandRow& row : kCommandTable) {
    if (EqualsNoCase(row.keyword, keyword)) return row.id;
  }
  return kCmdInvalid;
}

// Rows stand in identifier order, so a row is found by its position.
const CommandRow* CommandRowOf(CommandId id) {
  if (id <= kCmdInvalid || id >= kCommandCount) return nullptr;
  return &kCommandTable[id - 1];
}

const char* CommandKeyword(CommandId id) {
  const CommandRow* row = CommandRowOf(id);
  return row ? row->keyword : "";
}

int ArgumentsRead(const CommandRow& row) {
  if (row.slot2 != kSlotUnused) return 2;
  return row.slot1 != kSlotUnused ? 1 : 0;
}
