// The checked file transfers of the install actions, and what a failed one
// does to the run.
#pragma once

struct Engine;

// Attributes of the source when the caller knows them (from a listing).
const unsigned long kAttributesUnknown = 0xFFFFFFFFUL;

// Copies `source` over `destination`: 0 on success, -1 on failure. A
// missing path (null) gives -1 and nothing else. A read-only destination
// is replaced; the copy is left without read-only, hidden and system
// attributes. A copy onto itself changes nothing and succeeds. On failure
// the old destination stays, the question ERROR_COPY_TTL/ERROR_COPY_MSG is
// asked (Yes: reboot at the end; never in silent mode) and every run ends
// with the failure flag.
bool CopyOneFile(Engine& engine, const char* source, const char* destination,
                 unsigned long sourceAttributes = kAttributesUnknown);
// CopyOneFile for a file of a listing whose destination cannot be the file
// itself (the tree copy refuses a destination inside its source).
bool CopyListedFile(Engine& engine, const char* source, const char* destination,
                    unsigned long sourceAttributes);
// The same as a move (across drives too), with ERROR_MOVE_TTL/_MSG.
bool MoveOneFile(Engine& engine, const char* source, const char* destination);
// The failure path of a copy that could not even be tried (a path that
// does not fit, a tree copied into itself): the question, then every run
// ends with the failure flag.
void TakeCopyFailurePath(Engine& engine, const char* source,
                         const char* destination);
// Makes the directory `path` and each missing one above it, as MkDir does.
// False when it cannot: the parents it made are gone again, the box
// ERROR_COPY_TTL/ERROR_CRDIR_MSG is shown and every run ends with the
// failure flag.
bool MakeDirectoryAndParents(Engine& engine, const char* path);
