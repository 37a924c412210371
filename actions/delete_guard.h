// The guard in front of every delete: which names and which places a
// script may never delete, however it spells them. A refused delete
// touches nothing, is journaled with its reason and counts as an error.
#pragma once

#include <initializer_list>

#include "script/text.h"

struct Engine;

// Why `name`, as the script wrote it, may not name a delete target; null
// when it may. Refused: a "." or ".." element; an element ending in a
// blank or a dot (Windows strips those, so two spellings reach one
// place); the \\?\ and \\.\ forms and device names (CON, NUL, COM1...).
const char* RefusedName(const char* name);

// The same for the name of a shortcut, which names a file in one folder:
// no path separator and no drive either.
const char* RefusedShortcutName(const char* name);

// Records the refusal of `command` on `target`: the journal line with the
// reason (and `more` after it) and the failure flag. Returns false, for
// the caller to return.
bool RefuseDelete(Engine& engine, const char* command, const char* target,
                  const char* reason, const char* more = "");

// The whole guard: each of `names` (null and empty ones skipped) as
// written, then the place `path` they build. Refused, by full path: a drive
// or share root, the Windows, system, temporary and program-files folders,
// the user's profile and the Programs, Startup and Desktop folders, or any
// folder that holds one of them. True when the delete may go ahead;
// otherwise the refusal is recorded.
bool MayDelete(Engine& engine, const char* command,
               std::initializer_list<const char*> names, const char* path);
