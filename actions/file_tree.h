// Whole directories: copying a tree to the destination, deleting a tree or
// the files of one directory. No walk ever descends into a reparse point
// (a junction or a link): it could lead outside the tree, or round in a
// loop.
#pragma once

#include "script/host.h"

struct Engine;

// Copies SRCDIR/`relative` to DSTDIR/`relative` (joined with '/'), showing
// each entry's name on `owner`'s status line. False when a copy failed
// (the run is then ended).
bool CopyTreeToDestination(Engine& engine, WindowRef owner,
                          const char* sourceRoot, const char* relative);
// Empties and removes `base`\`sub` (or `base` when `sub` is null or empty):
// files are deleted as they are (a read-only one stays, and so does its
// directory); a link is removed, never what it points to. The delete guard
// comes first; a refusal, or anything left behind, is journaled under
// `command` and sets the failure flag. A missing tree is no error.
void DeleteTree(Engine& engine, const char* command, const char* base,
                const char* sub);
// Deletes every file directly inside `directory`; subdirectories stay. The
// same guard and the same count of what stays.
void DeleteFilesIn(Engine& engine, const char* directory);
