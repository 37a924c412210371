// The command table, in the order of the language reference; lookup is a
// linear first-match scan ignoring ASCII case. Each row says which
// argument slots the command's handler reads, as the handler code does it.
#include "script/command_table.h"

#include "script/text.h"

const CommandRow kCommandTable[] = {
    {"MkDir", kCmdMkDir, kSlotValue, kSlotValue},
    {"CopyA", kCmdCopyA, kSlotValue, kSlotValue},
    {"Copy", kCmdCopy, kSlotValue, kSlotValue},
    {"CopyS", kCmdCopyS, kSlotValue, kSlotValue},
    {"CopyD", kCmdCopyD, kSlotValue, kSlotValue},
    {"MoveA", kCmdMoveA, kSlotValue, kSlotValue},
    {"Move", kCmdMove, kSlotValue, kSlotValue},
    {"MoveS", kCmdMoveS, kSlotValue, kSlotValue},
    {"MoveD", kCmdMoveD, kSlotValue, kSlotValue},
    {"Register", kCmdRegister, kSlotValue, kSlotUnused},
    {"MkPgmGroup", kCmdMkPgmGroup, kSlotValue, kSlotUnused},
    {"MkLink", kCmdMkLink, kSlotValue, kSlotValue},
    {"CopyDir2Dest", kCmdCopyDir2Dest, kSlotValue, kSlotUnused},
    {"CreateSourceLink", kCmdCreateSourceLink, kSlotValue, kSlotValue},
    {"AddPartition", kCmdAddPartition, kSlotValue, kSlotUnused},
    {"set", kCmdSet, kSlotName, kSlotValue},
    {"get", kCmdGet, kSlotUnused, kSlotUnused},
    {"goto", kCmdGoto, kSlotValue, kSlotUnused},
    {"quit", kCmdQuit, kSlotValue, kSlotValue},
    {"ShowFile", kCmdShowFile, kSlotValue, kSlotUnused},
    {"GetSystemVars", kCmdGetSystemVars, kSlotUnused, kSlotUnused},
    {"IShowInstallDlg", kCmdIShowInstallDlg, kSlotUnused, kSlotUnused},
    {"If", kCmdIf, kSlotUnused, kSlotUnused},
    {"Else", kCmdElse, kSlotUnused, kSlotUnused},
    {"Endif", kCmdEndif, kSlotUnused, kSlotUnused},
    {"Exist", kCmdExist, kSlotValue, kSlotUnused},
    {"ApplyOnFiles", kCmdApplyOnFiles, kSlotValue, kSlotValue},
    {"Return", kCmdReturn, kSlotUnused, kSlotUnused},
    {"MsgBoxOK", kCmdMsgBoxOK, kSlotValue, kSlotValue},
    {"MsgBoxOKCancel", kCmdMsgBoxOKCancel, kSlotValue, kSlotValue},
    {"DetectTCPIP", kCmdDetectTCPIP, kSlotUnused, kSlotUnused},
    {"Strcat", kCmdStrcat, kSlotBoth, kSlotValue},
    {"Strcmp", kCmdStrcmp, kSlotValue, kSlotValue},
    {"Run", kCmdRun, kSlotValue, kSlotValue},
    {"Delete", kCmdDelete, kSlotValue, kSlotValue},
    {"Unregister", kCmdUnregister, kSlotValue, kSlotValue},
    {"Deltree", kCmdDeltree, kSlotValue, kSlotValue},
    {"GetPgmGroup", kCmdGetPgmGroup, kSlotName, kSlotUnused},
    {"DelPgmGroup", kCmdDelPgmGroup, kSlotValue, kSlotUnused},
    {"SetUninstall", kCmdSetUninstall, kSlotValue, kSlotValue},
    {"RegisterFont", kCmdRegisterFont, kSlotValue, kSlotUnused},
    {"UnregisterFont", kCmdUnregisterFont, kSlotValue, kSlotUnused},
    {"FindInFile", kCmdFindInFile, kSlotValue, kSlotValue},
    {"ParseFile", kCmdParseFile, kSlotValue, kSlotValue},
    {"DetectVORN", kCmdDetectVORN, kSlotUnused, kSlotUnused},
    {"AppendFile", kCmdAppendFile, kSlotValue, kSlotValue},
    {"GetTempFileName", kCmdGetTempFileName, kSlotName, kSlotUnused},
    {"Include", kCmdInclude, kSlotValue, kSlotValue},
    {"DelUninstall", kCmdDelUninstall, kSlotValue, kSlotUnused},
    {"SetupType", kCmdSetupType, kSlotUnused, kSlotUnused},
    {"Clr", kCmdClr, kSlotName, kSlotUnused},
    {"Stricmp", kCmdStricmp, kSlotValue, kSlotValue},
    {"MsgBoxYESNO", kCmdMsgBoxYESNO, kSlotValue, kSlotValue},
    {"RunWait", kCmdRunWait, kSlotValue, kSlotValue},
    {"CleanRegistry", kCmdCleanRegistry, kSlotUnused, kSlotUnused},
    {"ShowWindow", kCmdShowWindow, kSlotUnused, kSlotUnused},
    {"HideWindow", kCmdHideWindow, kSlotUnused, kSlotUnused},
    {"CD", kCmdCD, kSlotText, kSlotUnused},
    {"GetVornSettings", kCmdGetVornSettings, kSlotUnused, kSlotUnused},
    {"GetSMTPServer", kCmdGetSMTPServer, kSlotUnused, kSlotUnused},
    {"IsVornUpdated", kCmdIsVornUpdated, kSlotValue, kSlotUnused},
    {"IsVornRunning", kCmdIsVornRunning, kSlotUnused, kSlotUnused},
    {"ImportOldVorn", kCmdImportOldVorn, kSlotValue, kSlotValue},
    {"DeleteAllFiles", kCmdDeleteAllFiles, kSlotValue, kSlotValue},
    {"CheckForDLL", kCmdCheckForDLL, kSlotValue, kSlotUnused},
    {"IsMini", kCmdIsMini, kSlotUnused, kSlotUnused},
    {"SetText", kCmdSetText, kSlotValue, kSlotUnused},
    {"quiterr", kCmdQuiterr, kSlotValue, kSlotValue},
    {"IsSilent", kCmdIsSilent, kSlotUnused, kSlotUnused},
    {"InstallSuccess", kCmdInstallSuccess, kSlotUnused, kSlotUnused},
    {"CreateDesktopLink", kCmdCreateDesktopLink, kSlotValue, kSlotValue},
    {"DestroyDesktopLink", kCmdDestroyDesktopLink, kSlotValue, kSlotUnused},
    {"IsSpace", kCmdIsSpace, kSlotUnused, kSlotUnused},
    {"CreateStartLink", kCmdCreateStartLink, kSlotValue, kSlotValue},
    {"DestroyStartLink", kCmdDestroyStartLink, kSlotValue, kSlotUnused},
    {"GetVersion", kCmdGetVersion, kSlotValue, kSlotValue},
    {"IsGreater", kCmdIsGreater, kSlotValue, kSlotValue},
    {"IsLower", kCmdIsLower, kSlotValue, kSlotValue},
    {"MkStr", kCmdMkStr, kSlotValue, kSlotUnused},
    {"CopyWord", kCmdCopyWord, kSlotValue, kSlotUnused},
    {"RebootNeeded", kCmdRebootNeeded, kSlotUnused, kSlotUnused},
    {"KeepUninstaller", kCmdKeepUninstaller, kSlotValue, kSlotUnused},
    {"RollbackOnFailure", kCmdRollbackOnFailure, kSlotUnused, kSlotUnused},
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
