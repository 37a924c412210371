// The command table, in the order of the language reference; lookup is a
// linear first-match scan ignoring ASCII case.
#include "script/command_table.h"

#include "script/text.h"

const CommandRow kCommandTable[] = {
    {kCmdMkDir, "MkDir", 1},
    {kCmdCopyA, "CopyA", 2},
    {kCmdCopy, "Copy", 1},
    {kCmdCopyS, "CopyS", 2},
    {kCmdCopyD, "CopyD", 2},
    {kCmdMoveA, "MoveA", 2},
    {kCmdMove, "Move", 1},
    {kCmdMoveS, "MoveS", 2},
    {kCmdMoveD, "MoveD", 2},
    {kCmdRegister, "Register", 1},
    {kCmdMkPgmGroup, "MkPgmGroup", 1},
    {kCmdMkLink, "MkLink", 2},
    {kCmdCopyDir2Dest, "CopyDir2Dest", 2},
    {kCmdCreateSourceLink, "CreateSourceLink", 2},
    {kCmdAddPartition, "AddPartition", 1},
    {kCmdSet, "set", 2},
    {kCmdGet, "get", 2},
    {kCmdGoto, "goto", 1},
    {kCmdQuit, "quit", 1},
    {kCmdShowFile, "ShowFile", 1},
    {kCmdGetSystemVars, "GetSystemVars", 0},
    {kCmdIShowInstallDlg, "IShowInstallDlg", 0},
    {kCmdIf, "If", 0},
    {kCmdElse, "Else", 0},
    {kCmdEndif, "Endif", 0},
    {kCmdExist, "Exist", 1},
    {kCmdApplyOnFiles, "ApplyOnFiles", 2},
    {kCmdReturn, "Return", 0},
    {kCmdMsgBoxOK, "MsgBoxOK", 2},
    {kCmdMsgBoxOKCancel, "MsgBoxOKCancel", 2},
    {kCmdDetectTCPIP, "DetectTCPIP", 0},
    {kCmdStrcat, "Strcat", 2},
    {kCmdStrcmp, "Strcmp", 2},
    {kCmdRun, "Run", 2},
    {kCmdDelete, "Delete", 1},
    {kCmdUnregister, "Unregister", 1},
    {kCmdDeltree, "Deltree", 1},
    {kCmdGetPgmGroup, "GetPgmGroup", 1},
    {kCmdDelPgmGroup, "DelPgmGroup", 1},
    {kCmdSetUninstall, "SetUninstall", 2},
    {kCmdRegisterFont, "RegisterFont", 1},
    {kCmdUnregisterFont, "UnregisterFont", 1},
    {kCmdFindInFile, "FindInFile", 2},
    {kCmdParseFile, "ParseFile", 2},
    {kCmdDetectVORN, "DetectVORN", 0},
    {kCmdAppendFile, "AppendFile", 2},
    {kCmdGetTempFileName, "GetTempFileName", 0},
    {kCmdInclude, "Include", 1},
    {kCmdDelUninstall, "DelUninstall", 0},
    {kCmdSetupType, "SetupType", 0},
    {kCmdClr, "Clr", 1},
    {kCmdStricmp, "Stricmp", 2},
    {kCmdMsgBoxYESNO, "MsgBoxYESNO", 2},
    {kCmdRunWait, "RunWait", 2},
    {kCmdCleanRegistry, "CleanRegistry", 0},
    {kCmdShowWindow, "ShowWindow", 0},
    {kCmdHideWindow, "HideWindow", 0},
    {kCmdCD, "CD", 1},
    {kCmdGetVornSettings, "GetVornSettings", 0},
    {kCmdGetSMTPServer, "GetSMTPServer", 0},
    {kCmdIsVornUpdated, "IsVornUpdated", 1},
    {kCmdIsVornRunning, "IsVornRunning", 0},
    {kCmdImportOldVorn, "ImportOldVorn", 2},
    {kCmdDeleteAllFiles, "DeleteAllFiles", 1},
    {kCmdCheckForDLL, "CheckForDLL", 1},
    {kCmdIsMini, "IsMini", 0},
    {kCmdSetText, "SetText", 1},
    {kCmdQuiterr, "quiterr", 1},
    {kCmdIsSilent, "IsSilent", 0},
    {kCmdInstallSuccess, "InstallSuccess", 0},
    {kCmdCreateDesktopLink, "CreateDesktopLink", 2},
    {kCmdDestroyDesktopLink, "DestroyDesktopLink", 1},
    {kCmdIsSpace, "IsSpace", 0},
    {kCmdCreateStartLink, "CreateStartLink", 2},
    {kCmdDestroyStartLink, "DestroyStartLink", 1},
    {kCmdGetVersion, "GetVersion", 2},
    {kCmdIsGreater, "IsGreater", 2},
    {kCmdIsLower, "IsLower", 2},
    {kCmdMkStr, "MkStr", 1},
    {kCmdCopyWord, "CopyWord", 1},
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

const char* CommandKeyword(CommandId id) {
  for (const CommandRow& row : kCommandTable) {
    if (row.id == id) return row.keyword;
  }
  return "";
}
