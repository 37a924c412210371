// The script commands that install and query the runtime's configuration
// files: ImportOldVorn, IsVornUpdated, AddPartition and GetVornSettings.
#pragma once

struct Engine;

void BindRuntimeConfigCommands(Engine& engine);
