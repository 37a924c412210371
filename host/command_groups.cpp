// The one list of command groups. The engine knows none of them; each group
// binds its own commands to the command table's identifiers.
#include "host/command_groups.h"

#include "actions/action_groups.h"
#include "script/commands.h"
#include "script/engine.h"

struct CommandGroup {
  const char* name;
  void (*bind)(Engine& engine);
};

static const CommandGroup kCommandGroups[] = {
    {"variables", BindVariableCommands},
    {"messages", BindMessageCommands},
    {"control flow", BindControlFlowCommands},
    {"run modes and main window", BindHostCommands},
    {"strings and text files", BindStringCommands},
    {"system variables and probes", BindProbeCommands},
};

void BindAllCommandGroups(Engine& engine) {
  for (const CommandGroup& group : kCommandGroups) group.bind(engine);
}

const CommandId kCommandsNotYetBuilt[] = {
    // files and directories
    kCmdMkDir, kCmdCopyA, kCmdCopy, kCmdCopyS, kCmdCopyD, kCmdMoveA, kCmdMove,
    kCmdMoveS, kCmdMoveD, kCmdCopyDir2Dest, kCmdExist, kCmdApplyOnFiles,
    kCmdDelete, kCmdDeltree, kCmdGetTempFileName, kCmdCD, kCmdDeleteAllFiles,
    // programs, DLLs and fonts
    kCmdRegister, kCmdUnregister, kCmdRun, kCmdRunWait, kCmdShowFile,
    kCmdRegisterFont, kCmdUnregisterFont,
    // strings and text files
    kCmdStrcat, kCmdFindInFile, kCmdParseFile, kCmdGetVersion, kCmdIsGreater,
    kCmdIsLower, kCmdMkStr, kCmdCopyWord,
    // shortcuts and program groups
    kCmdMkPgmGroup, kCmdMkLink, kCmdCreateSourceLink, kCmdGetPgmGroup,
    kCmdDelPgmGroup, kCmdCreateDesktopLink, kCmdDestroyDesktopLink,
    kCmdCreateStartLink, kCmdDestroyStartLink,
    // uninstall entry and file-class keys
    kCmdSetUninstall, kCmdDelUninstall, kCmdCleanRegistry,
    // runtime configuration
    kCmdAddPartition, kCmdDetectVORN, kCmdGetVornSettings, kCmdIsVornUpdated,
    kCmdImportOldVorn,
    // dialogs
    kCmdIShowInstallDlg, kCmdSetupType, kCmdGetSMTPServer,
};
const int kCommandsNotYetBuiltCount = static_cast<int>(
    sizeof kCommandsNotYetBuilt / sizeof kCommandsNotYetBuilt[0]);
