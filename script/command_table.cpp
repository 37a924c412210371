// The command table, in the order of the language reference; lookup is a
// linear first-match scan ignoring ASCII case.
#include "script/command_table.h"

#include "script/text.h"

const CommandRow kCommandTable[] = {
    {"MkDir", kCmdMkDir, 1, kSlotValue, kSlotValue},
    {"CopyA", kCmdCopyA, 2, kSlotValue, kSlotValue},
    {"Copy", kCmdCopy, 1, kSlotValue, kSlotUnused},
    {"CopyS", kCmdCopyS, 2, kSlotValue, kSlotValue},
    {"CopyD", kCmdCopyD, 2, kSlotValue, kSlotValue},
    {"MoveA", kCmdMoveA, 2, kSlotValue, kSlotValue},
    {"Move", kCmdMove, 1, kSlotValue, kSlotUnused},
    {"MoveS", kCmdMoveS, 2, kSlotValue, kSlotValue},
    {"MoveD", kCmdMoveD, 2, kSlotValue, kSlotValue},
    {"Register", kCmdRegister, 1, kSlotValue, kSlotUnused},
    {"MkPgmGroup", kCmdMkPgmGroup, 1, kSlotValue, kSlotUnused},
    {"MkLink", kCmdMkLink, 2, kSlotValue, kSlotValue},
    {"CopyDir2Dest", kCmdCopyDir2Dest, 2, kSlotValue, kSlotValue},
    {"CreateSourceLink", kCmdCreateSourceLink, 2, kSlotValue, kSlotValue},
    {"AddPartition", kCmdAddPartition, 1, kSlotValue, kSlotUnused},
    {"set", kCmdSet, 2, kSlotWritten, kSlotValue},
    {"get", kCmdGet, 2, kSlotUnused, kSlotUnused},
    {"goto", kCmdGoto, 1, kSlotValue, kSlotUnused},
    {"quit", kCmdQuit, 1, kSlotValue, kSlotValue},
    {"ShowFile", kCmdShowFile, 1, kSlotValue, kSlotUnused},
    {"GetSystemVars", kCmdGetSystemVars, 0, kSlotUnused, kSlotUnused},
    {"IShowInstallDlg", kCmdIShowInstallDlg, 0, kSlotUnused, kSlotUnused},
    {"If", kCmdIf, 0, kSlotUnused, kSlotUnused},
    {"Else", kCmdElse, 0, kSlotUnused, kSlotUnused},
    {"Endif", kCmdEndif, 0, kSlotUnused, kSlotUnused},
    {"Exist", kCmdExist, 1, kSlotValue, kSlotUnused},
    {"ApplyOnFiles", kCmdApplyOnFiles, 2, kSlotValue, kSlotValue},
    {"Return", kCmdReturn, 0, kSlotUnused, kSlotUnused},
    {"MsgBoxOK", kCmdMsgBoxOK, 2, kSlotValue, kSlotValue},
    {"MsgBoxOKCancel", kCmdMsgBoxOKCancel, 2, kSlotValue, kSlotValue},
    {"DetectTCPIP", kCmdDetectTCPIP, 0, kSlotUnused, kSlotUnused},
    {"Strcat", kCmdStrcat, 2, kSlotBoth, kSlotValue},
    {"Strcmp", kCmdStrcmp, 2, kSlotValue, kSlotValue},
    {"Run", kCmdRun, 2, kSlotValue, kSlotValue},
    {"Delete", kCmdDelete, 1, kSlotValue, kSlotValue},
    {"Unregister", kCmdUnregister, 1, kSlotValue, kSlotUnused},
    {"Deltree", kCmdDeltree, 1, kSlotValue, kSlotUnused},
    {"GetPgmGroup", kCmdGetPgmGroup, 1, kSlotWritten, kSlotUnused},
    {"DelPgmGroup", kCmdDelPgmGroup, 1, kSlotValue, kSlotUnused},
    {"SetUninstall", kCmdSetUninstall, 2, kSlotValue, kSlotValue},
    {"RegisterFont", kCmdRegisterFont, 1, kSlotValue, kSlotUnused},
    {"UnregisterFont", kCmdUnregisterFont, 1, kSlotValue, kSlotUnused},
    {"FindInFile", kCmdFindInFile, 2, kSlotValue, kSlotValue},
    {"ParseFile", kCmdParseFile, 2, kSlotValue, kSlotValue},
    {"DetectVORN", kCmdDetectVORN, 0, kSlotUnused, kSlotUnused},
    {"AppendFile", kCmdAppendFile, 2, kSlotValue, kSlotValue},
    {"GetTempFileName", kCmdGetTempFileName, 0, kSlotWritten, kSlotUnused},
    {"Include", kCmdInclude, 1, kSlotValue, kSlotValue},
    {"DelUninstall", kCmdDelUninstall, 0, kSlotValue, kSlotUnused},
    {"SetupType", kCmdSetupType, 0, kSlotUnused, kSlotUnused},
    {"Clr", kCmdClr, 1, kSlotWritten, kSlotUnused},
    {"Stricmp", kCmdStricmp, 2, kSlotValue, kSlotValue},
    {"MsgBoxYESNO", kCmdMsgBoxYESNO, 2, kSlotValue, kSlotValue},
    {"RunWait", kCmdRunWait, 2, kSlotValue, kSlotValue},
    {"CleanRegistry", kCmdCleanRegistry, 0, kSlotUnused, kSlotUnused},
    {"ShowWindow", kCmdShowWindow, 0, kSlotUnused, kSlotUnused},
    {"HideWindow", kCmdHideWindow, 0, kSlotUnused, kSlotUnused},
    {"CD", kCmdCD, 1, kSlotWritten, kSlotUnused},
    {"GetVornSettings", kCmdGetVornSettings, 0, kSlotUnused, kSlotUnused},
    {"GetSMTPServer", kCmdGetSMTPServer, 0, kSlotUnused, kSlotUnused},
    {"IsVornUpdated", kCmdIsVornUpdated, 1, kSlotValue, kSlotUnused},
    {"IsVornRunning", kCmdIsVornRunning, 0, kSlotUnused, kSlotUnused},
    {"ImportOldVorn", kCmdImportOldVorn, 2, kSlotValue, kSlotValue},
    {"DeleteAllFiles", kCmdDeleteAllFiles, 1, kSlotValue, kSlotUnused},
    {"CheckForDLL", kCmdCheckForDLL, 1, kSlotValue, kSlotUnused},
    {"IsMini", kCmdIsMini, 0, kSlotUnused, kSlotUnused},
    {"SetText", kCmdSetText, 1, kSlotValue, kSlotUnused},
    {"quiterr", kCmdQuiterr, 1, kSlotValue, kSlotValue},
    {"IsSilent", kCmdIsSilent, 0, kSlotUnused, kSlotUnused},
    {"InstallSuccess", kCmdInstallSuccess, 0, kSlotUnused, kSlotUnused},
    {"CreateDesktopLink", kCmdCreateDesktopLink, 2, kSlotValue, kSlotValue},
    {"DestroyDesktopLink", kCmdDestroyDesktopLink, 1, kSlotValue, kSlotUnused},
    {"IsSpace", kCmdIsSpace, 0, kSlotUnused, kSlotUnused},
    {"CreateStartLink", kCmdCreateStartLink, 2, kSlotValue, kSlotValue},
    {"DestroyStartLink", kCmdDestroyStartLink, 1, kSlotValue, kSlotUnused},
    {"GetVersion", kCmdGetVersion, 2, kSlotValue, kSlotValue},
    {"IsGreater", kCmdIsGreater, 2, kSlotValue, kSlotValue},
    {"IsLower", kCmdIsLower, 2, kSlotValue, kSlotValue},
    {"MkStr", kCmdMkStr, 1, kSlotValue, kSlotUnused},
    {"CopyWord", kCmdCopyWord, 1, kSlotValue, kSlotUnused},
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

const CommandRow* CommandRowOf(CommandId id) {
  for (const CommandRow& row : kCommandTable) {
    if (row.id == id) return &row;
  }
  return nullptr;
}

const char* CommandKeyword(CommandId id) {
  const CommandRow* row = CommandRowOf(id);
  return row ? row->keyword : "";
}
