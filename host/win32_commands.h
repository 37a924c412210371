// Binding of the script commands that call Windows directly.
#pragma once

struct Engine;

void BindWin32Commands(Engine& engine);
