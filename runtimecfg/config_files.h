// The file work of the runtime configuration commands, over the effects:
// paths built from a directory variable, whole files read, temporary files
// written and checked, and the one atomic replace of a configuration file.
#pragma once

#include "script/byte_buffer.h"
#include "script/effects.h"
#include "script/engine.h"

// `directoryVariable`'s value, a backslash and `name`. False when the
// variable is undefined or the path would not fit: nothing is cut.
bool ConfigPath(Engine& engine, const char* directoryVariable,
                const char* name, char (&path)[kPathMax]);

// True for the statuses of a file that is not there.
bool IsMissingFile(Status status);

// Writes `text` as the whole of the temporary file `path`, replacing a
// stale one. On failure nothing of ours is left at `path`.
bool WriteTemporaryFile(Engine& engine, const char* path,
                        const ByteBuffer& text);

// Deletes the temporary file `path` when it is a file: a folder of that
// name was not made by us and stays.
void RemoveTemporaryFile(Engine& engine, const char* path);

// Moves `temporary` over `target` in one step that cannot leave `target`
// missing or half written; a read-only target is replaced too. On failure
// `target` is as it was, attributes included.
bool ReplaceWithTemporary(Engine& engine, const char* temporary,
                          const char* target);

// Appends `lines` (made with their line ends) to the file at `path`,
// creating it when missing, with a line end first when the file's last line
// has none. False when the file cannot be read or written.
bool AppendLinesToFile(Engine& engine, const char* path, const char* lines);
