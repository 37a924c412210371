// Every command group of the program, bound in one place.
#pragma once

struct Engine;

// Binds every command group to `engine`.
void BindAllCommandGroups(Engine& engine);
