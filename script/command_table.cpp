// The command table, in the order of the language reference; lookup is a
// linear first-match scan ignoring ASCII case.
#include "script/command_table.h"

#include "script/text.h"

const CommandRow kCommandTable[] = {
    {kCmdMkDir, "MkDir", 1, kSlotValue, kSlotValue},
    {kCmdCopyA, "CopyA", 2, kSlotValue, kSlotValue},
    {kCmdCopy, "Copy", 1, kSlotValue, kSlotUnused},
    {kCmdCopyS, "CopyS", 2, kSlotValue, kSlotValue},
    {kCmdCopyD, "CopyD", 2, kSlotValue, kSlotValue},
    {kCmdMoveA, "MoveA", 2, kSlotValue, kSlotValue},
    {kCmdMove, "Move", 1, kSlotValue, kSlotUnused},
    {kCmdMoveS, "MoveS", 2, kSlotValue, kSlotValue},
    {kCmdMoveD, "MoveD", 2, kSlotValue, kSlotValue},
    {kCmdRegister, "Register", 1, kSlotValue, kSlotUnused},
    {kCmdMkPgmGroup, "MkPgmGroup", 1, kSlotValue, kSlotUnused},
    {kCmdMkLink, "MkLink", 2, kSlotValue, kSlotValue},
    {kCmdCopyDir2Dest, "CopyDir2Dest", 2, kSlotValue, kSlotValue},
    {kCmdCreateSourceLink, "CreateSourceLink", 2, kSlotValue, kSlotValue},
    {kCmdAddPartition, "AddPartition", 1, kSlotValue, kSlotUnused},
    {kCmdSet, "set", 2, kSlotWritten, kSlotValue},
    {kCmdGet, "get", 2, kSlotUnused, kSlotUnused},
    {kCmdGoto, "goto", 1, kSlotValue, kSlotUnused},
    {kCmdQuit, "quit", 1, kSlotValue, kSlotValue},
    {kCmdShowFile, "ShowFile", 1, kSlotValue, kSlotUnused},
    {kCmdGetSystemVars, "GetSystemVars", 0, kSlotUnused, kSlotUnused},
    {kCmdIShowInstallDlg, "IShowInstallDlg", 0, kSlotUnused, kSlotUnused},
    {kCmdIf, "If", 0, kSlotUnused, kSlotUnused},
    {kCmdElse, "Else", 0, kSlotUnused, kSlotUnused},
    {kCmdEndif, "Endif", 0, kSlotUnused, kSlotUnused},
    {kCmdExist, "Exist", 1, kSlotValue, kSlotUnused},
    {kCmdApplyOnFiles, "ApplyOnFiles", 2, kSlotValue, kSlotValue},
    {kCmdReturn, "Return", 0, kSlotUnused, kSlotUnused},
    {kCmdMsgBoxOK, "MsgBoxOK", 2, kSlotValue, kSlotValue},
    {kCmdMsgBoxOKCancel, "MsgBoxOKCancel", 2, kSlotValue, kSlotValue},
    {kCmdDetectTCPIP, "DetectTCPIP", 0, kSlotUnused, kSlotUnused},
    {kCmdStrcat, "Strcat", 2, kSlotBoth, kSlotValue},
    {kCmdStrcmp, "Strcmp", 2, kSlotValue, kSlotValue},
    {kCmdRun, "Run", 2, kSlotValue, kSlotValue},
    {kCmdDelete, "Delete", 1, kSlotValue, kSlotValue},
    {kCmdUnregister, "Unregister", 1, kSlotValue, kSlotUnused},
    {kCmdDeltree, "Deltree", 1, kSlotValue, kSlotUnused},
    {kCmdGetPgmGroup, "GetPgmGroup", 1, kSlotWritten, kSlotUnused},
    {kCmdDelPgmGroup, "DelPgmGroup", 1, kSlotValue, kSlotUnused},
    {kCmdSetUninstall, "SetUninstall", 2, kSlotValue, kSlotValue},
    {kCmdRegisterFont, "RegisterFont", 1, kSlotValue, kSlotUnused},
    {kCmdUnregisterFont, "UnregisterFont", 1, kSlotValue, kSlotUnused},
    {kCmdFindInFile, "FindInFile", 2, kSlotValue, kSlotValue},
    {kCmdParseFile, "ParseFile", 2, kSlotValue, kSlotValue},
    {kCmdDetectVORN, "DetectVORN", 0, kSlotUnused, kSlotUnused},
    {kCmdAppendFile, "AppendFile", 2, kSlotValue, kSlotValue},
    {kCmdGetTempFileName, "GetTempFileName", 0, kSlotWritten, kSlotUnused},
    {kCmdInclude, "Include", 1, kSlotValue, kSlotValue},
    {kCmdDelUninstall, "DelUninstall", 0, kSlotValue, kSlotUnused},
    {kCmdSetupType, "SetupType", 0, kSlotUnused, kSlotUnused},
    {kCmdClr, "Clr", 1, kSlotWritten, kSlotUnused},
    {kCmdStricmp, "Stricmp", 2, kSlotValue, kSlotValue},
    {kCmdMsgBoxYESNO, "MsgBoxYESNO", 2, kSlotValue, kSlotValue},
    {kCmdRunWait, "RunWait", 2, kSlotValue, kSlotValue},
    {kCmdCleanRegistry, "CleanRegistry", 0, kSlotUnused, kSlotUnused},
    {kCmdShowWindow, "ShowWindow", 0, kSlotUnused, kSlotUnused},
    {kCmdHideWindow, "HideWindow", 0, kSlotUnused, kSlotUnused},
    {kCmdCD, "CD", 1, kSlotWritten, kSlotUnused},
    {kCmdGetVornSettings, "GetVornSettings", 0, kSlotUnused, kSlotUnused},
    {kCmdGetSMTPServer, "GetSMTPServer", 0, kSlotUnused, kSlotUnused},
    {kCmdIsVornUpdated, "IsVornUpdated", 1, kSlotValue, kSlotUnused},
    {kCmdIsVornRunning, "IsVornRunning", 0, kSlotUnused, kSlotUnused},
    {kCmdImportOldVorn, "ImportOldVorn", 2, kSlotValue, kSlotValue},
    {kCmdDeleteAllFiles, "DeleteAllFiles", 1, kSlotValue, kSlotUnused},
    {kCmdCheckForDLL, "CheckForDLL", 1, kSlotValue, kSlotUnused},
    {kCmdIsMini, "IsMini", 0, kSlotUnused, kSlotUnused},
    {kCmdSetText, "SetText", 1, kSlotValue, kSlotUnused},
    {kCmdQuiterr, "quiterr", 1, kSlotValue, kSlotValue},
    {kCmdIsSilent, "IsSilent", 0, kSlotUnused, kSlotUnused},
    {kCmdInstallSuccess, "InstallSuccess", 0, kSlotUnused, kSlotUnused},
    {kCmdCreateDesktopLink, "CreateDesktopLink", 2, kSlotValue, kSlotValue},
    {kCmdDestroyDesktopLink, "DestroyDesktopLink", 1, kSlotValue, kSlotUnused},
    {kCmdIsSpace, "IsSpace", 0, kSlotUnused, kSlotUnused},
    {kCmdCreateStartLink, "CreateStartLink", 2, kSlotValue, kSlotValue},
    {kCmdDestroyStartLink, "DestroyStartLink", 1, kSlotValue, kSlotUnused},
    {kCmdGetVersion, "GetVersion", 2, kSlotValue, kSlotValue},
    {kCmdIsGreater, "IsGreater", 2, kSlotValue, kSlotValue},
    {kCmdIsLower, "IsLower", 2, kSlotValue, kSlotValue},
    {kCmdMkStr, "MkStr", 1, kSlotValue, kSlotUnused},
    {kCmdCopyWord, "CopyWord", 1, kSlotValue, kSlotUnused},
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
