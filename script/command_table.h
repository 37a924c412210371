// The command table of the script language: one row per keyword, in the
// order of the language reference. This is the only place a keyword is
// spelled. Which subsystem performs a command is bound separately.
#pragma once

// Identifiers in table order; the comment names the slots each command reads.
enum CommandId {
  kCmdInvalid = 0,      // reserved: never produced by the parser
  kCmdMkDir,            // v1, v2
  kCmdCopyA,            // v1, v2
  kCmdCopy,             // v1
  kCmdCopyS,            // v1, v2
  kCmdCopyD,            // v1, v2
  kCmdMoveA,            // v1, v2
  kCmdMove,             // v1
  kCmdMoveS,            // v1, v2
  kCmdMoveD,            // v1, v2
  kCmdRegister,         // v1
  kCmdMkPgmGroup,       // v1
  kCmdMkLink,           // v1, v2
  kCmdCopyDir2Dest,     // v1, v2
  kCmdCreateSourceLink, // v1, v2
  kCmdAddPartition,     // v1
  kCmdSet,              // t1 (name), v2
  kCmdGet,              // none
  kCmdGoto,             // v1 (section)
  kCmdQuit,             // v1 (text), v2 (caption)
  kCmdShowFile,         // v1
  kCmdGetSystemVars,    // none
  kCmdIShowInstallDlg,  // none
  kCmdIf,               // none
  kCmdElse,             // none
  kCmdEndif,            // none
  kCmdExist,            // v1
  kCmdApplyOnFiles,     // v1, v2
  kCmdReturn,           // none
  kCmdMsgBoxOK,         // v1 (text), v2 (caption)
  kCmdMsgBoxOKCancel,   // v1 (text), v2 (caption)
  kCmdDetectTCPIP,      // none
  kCmdStrcat,           // t1 (name), v1, v2
  kCmdStrcmp,           // v1, v2
  kCmdRun,              // v1, v2
  kCmdDelete,           // v1, v2
  kCmdUnregister,       // v1
  kCmdDeltree,          // v1
  kCmdGetPgmGroup,      // t1 (name)
  kCmdDelPgmGroup,      // v1
  kCmdSetUninstall,     // v1, v2
  kCmdRegisterFont,     // v1
  kCmdUnregisterFont,   // v1
  kCmdFindInFile,       // v1 (text), v2 (file)
  kCmdParseFile,        // v1 (file), v2 (section)
  kCmdDetectVORN,       // none
  kCmdAppendFile,       // v1 (text), v2 (file)
  kCmdGetTempFileName,  // t1 (name)
  kCmdInclude,          // v1 (file), v2 (section)
  kCmdDelUninstall,     // v1
  kCmdSetupType,        // none
  kCmdClr,              // t1 (name)
  kCmdStricmp,          // v1, v2
  kCmdMsgBoxYESNO,      // v1 (text), v2 (caption)
  kCmdRunWait,          // v1, v2
  kCmdCleanRegistry,    // none
  kCmdShowWindow,       // none
  kCmdHideWindow,       // none
  kCmdCD,               // t1 (directory)
  kCmdGetVornSettings,  // none
  kCmdGetSMTPServer,    // none
  kCmdIsVornUpdated,    // v1
  kCmdIsVornRunning,    // none
  kCmdImportOldVorn,    // v1, v2
  kCmdDeleteAllFiles,   // v1
  kCmdCheckForDLL,      // v1
  kCmdIsMini,           // none
  kCmdSetText,          // v1
  kCmdQuiterr,          // v1 (text), v2 (caption)
  kCmdIsSilent,         // none
  kCmdInstallSuccess,   // none
  kCmdCreateDesktopLink,   // v1, v2
  kCmdDestroyDesktopLink,  // v1
  kCmdIsSpace,          // none
  kCmdCreateStartLink,  // v1, v2
  kCmdDestroyStartLink, // v1
  kCmdGetVersion,       // v1 (file), v2 (key)
  kCmdIsGreater,        // v1, v2
  kCmdIsLower,          // v1, v2
  kCmdMkStr,            // v1
  kCmdCopyWord,         // v1
  kCommandCount
};

struct CommandRow {
  CommandId id;
  const char* keyword;
  int count;  // descriptive only: every statement is parsed with two slots
};

extern const CommandRow kCommandTable[];
extern const int kCommandTableSize;

// Identifier of the first row whose keyword equals `keyword` (ASCII case
// ignored), or kCmdInvalid.
CommandId FindCommand(const char* keyword);
// The keyword as stored in the table, or "" for an identifier without a row.
const char* CommandKeyword(CommandId id);
