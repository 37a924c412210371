// The command table of the script language: one row per keyword, in the
// order of the language reference. This is the only place a keyword is
// spelled. Which subsystem performs a command is bound separately.
#pragma once

// Identifiers in table order.
enum CommandId : unsigned char {
  kCmdInvalid = 0,      // reserved: never produced by the parser
  kCmdMkDir,
  kCmdCopyA,
  kCmdCopy,
  kCmdCopyS,
  kCmdCopyD,
  kCmdMoveA,
  kCmdMove,
  kCmdMoveS,
  kCmdMoveD,
  kCmdRegister,
  kCmdMkPgmGroup,
  kCmdMkLink,
  kCmdCopyDir2Dest,
  kCmdCreateSourceLink,
  kCmdAddPartition,
  kCmdSet,
  kCmdGet,
  kCmdGoto,
  kCmdQuit,
  kCmdShowFile,
  kCmdGetSystemVars,
  kCmdIShowInstallDlg,
  kCmdIf,
  kCmdElse,
  kCmdEndif,
  kCmdExist,
  kCmdApplyOnFiles,
  kCmdReturn,
  kCmdMsgBoxOK,
  kCmdMsgBoxOKCancel,
  kCmdDetectTCPIP,
  kCmdStrcat,
  kCmdStrcmp,
  kCmdRun,
  kCmdDelete,
  kCmdUnregister,
  kCmdDeltree,
  kCmdGetPgmGroup,
  kCmdDelPgmGroup,
  kCmdSetUninstall,
  kCmdRegisterFont,
  kCmdUnregisterFont,
  kCmdFindInFile,
  kCmdParseFile,
  kCmdDetectVORN,
  kCmdAppendFile,
  kCmdGetTempFileName,
  kCmdInclude,
  kCmdDelUninstall,
  kCmdSetupType,
  kCmdClr,
  kCmdStricmp,
  kCmdMsgBoxYESNO,
  kCmdRunWait,
  kCmdCleanRegistry,
  kCmdShowWindow,
  kCmdHideWindow,
  kCmdCD,
  kCmdGetVornSettings,
  kCmdGetSMTPServer,
  kCmdIsVornUpdated,
  kCmdIsVornRunning,
  kCmdImportOldVorn,
  kCmdDeleteAllFiles,
  kCmdCheckForDLL,
  kCmdIsMini,
  kCmdSetText,
  kCmdQuiterr,
  kCmdIsSilent,
  kCmdInstallSuccess,
  kCmdCreateDesktopLink,
  kCmdDestroyDesktopLink,
  kCmdIsSpace,
  kCmdCreateStartLink,
  kCmdDestroyStartLink,
  kCmdGetVersion,
  kCmdIsGreater,
  kCmdIsLower,
  kCmdMkStr,
  kCmdCopyWord,
  kCmdRebootNeeded,
  kCmdKeepUninstaller,
  kCmdRollbackOnFailure,
  kCommandCount
};

// How a command's handler reads one argument slot. The engine looks up the
// value of every slot a handler reads; a slot it does not read is left
// without a value.
enum SlotUse : unsigned char {
  kSlotUnused,   // not read
  kSlotValue,    // its value: a quoted text, or a bare word's variable
  kSlotText,     // its text as written, which names no variable (a folder)
  kSlotName,     // its text as written: the name of a variable it sets
  kSlotBoth,     // both: a variable's name and its value
};

// One command: the keyword and what its handler reads. What it sets and
// shows is kept beside setupcheck, which reads it (checker/command_facts.h).
struct CommandRow {
  const char* keyword;
  CommandId id;
  SlotUse slot1;
  SlotUse slot2;
};

extern const CommandRow kCommandTable[];
extern const int kCommandTableSize;

// The row of `id`, or null for an identifier without a row.
const CommandRow* CommandRowOf(CommandId id);
// Identifier of the first row whose keyword equals `keyword` (ASCII case
// ignored), or kCmdInvalid.
CommandId FindCommand(const char* keyword);
// The keyword as stored in the table, or "" for an identifier without a row.
const char* CommandKeyword(CommandId id);
// How many arguments the handler reads: up to its last slot that is used.
int ArgumentsRead(const CommandRow& row);
