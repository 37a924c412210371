// The script commands that tie the runtime into the Windows shell.
#pragma once

struct Engine;

// SetUninstall, DelUninstall, DetectVORN and CleanRegistry.
void BindUninstallEntryCommands(Engine& engine);
// MkPgmGroup, DelPgmGroup, GetPgmGroup and the shortcut commands.
void BindShortcutCommands(Engine& engine);
