// The file work of the runtime configuration commands, over the effects:
// paths built from a directory variable, whole files read, temporary files
// written and checked, and the one atomic replace of a configuration file.
#pragma once

#include "script/byte_buffer.h"
#include "script/effects.h"
#include "script/engine.h"

// `directoryVariable`'s value, a backslash and `name`. When the variable
// is undefined or empty (the path would start at a drive root) or the path
// would not fit (nothing is cut), the failure is journaled, the failure
// flag set, and the result is false: the command then touches nothing.
bool ConfigPath(Engine& engine, const char* directoryVariable,
                const char* name, char (&path)[kPathMax]);

// A journal line "failure: <path>: <reason>" and the failure flag.
void ReportConfigFailure(Engine& engine, const char* path, const char* reason);

// True for the statuses of a file that is not there.
bool IsMissingFile(Status status);

enum class ConfigRead {
  kRead,     // the whole file is in the buffer
  kMissing,  // there is no such file: an expected state, not journaled
  kFailed,   // the file is there and cannot be read; the effects said why
};

// Reads the whole file at `path` when there is one. Whether it is there is
// asked first, so that a missing file (a fresh install, a helper file the
// setup does not ship) is not reported as a failed read.
ConfigRead ReadIfPresent(Engine& engine, const char* path,
                         ByteBuffer* contents);

// True when `contents` of the file at `path` can be read as lines; else
// the file is reported (it is left as it is) and the result is false.
bool CheckConfigText(Engine& engine, const char* path,
                     const ByteBuffer& contents);

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

// What an append does with a read-only file.
enum class ReadOnlyFile { kFails, kIsCleared };

// Appends `lines` (made with their line ends) to the file at `path`,
// creating it when missing, with a line end first when the file's last line
// has none. False when the file cannot be read or written, or holds what
// is not text (then it is reported and left as it is, attributes too).
bool AppendLinesToFile(Engine& engine, const char* path, const char* lines,
                       ReadOnlyFile readOnly);
