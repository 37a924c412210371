// The script commands that tie the runtime into the Windows shell.
#pragma once

struct Engine;

// SetUninstall, DelUninstall, DetectVORN and CleanRegistry.
void BindUninstallEntryCommands(Engine& engine);
