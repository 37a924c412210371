// Path rules of the file commands: which paths are too wide a target,
// where a full path's root ends, whether two paths name the same place or
// one lies inside the other, and the install directories that paths are
// built from.
#pragma once

#include "script/text.h"

class Effects;
struct Engine;

// True for a text that names a whole drive or no directory at all: "",
// "\", "/", "X:", "X:\" or "X:/".
bool IsDriveRootOrEmpty(const char* path);

// The length of the root that begins the full path `full` (as FullPathOf
// gives it): 3 for "X:\", the length of "\\server\share\" for a share (all
// of it when nothing follows the share); 0 for the device forms "\\?\" and
// "\\.\" and anything else, whose root is not told.
size_t RootLengthOf(const char* full);

// True when both paths name the same file (full paths, ASCII case ignored,
// '/' as '\').
bool IsSamePath(Effects& effects, const char* a, const char* b);

// The full path of `path` with '/' as '\' and no trailing separator but
// for a drive's root; false when it cannot be had.
bool FullPathOf(Effects& effects, const char* path, char (&full)[kPathMax]);

// The last element of a path: the text after its last '\\' or '/'.
const char* FileNameOf(const char* path);

// True when `inner` is `outer` or lies inside the tree `outer`.
bool IsInsideTree(Effects& effects, const char* inner, const char* outer);
// The same for two paths FullPathOf gave.
bool IsInsideFullTree(const char* fullInner, const char* fullOuter);

// The value of the install directory `variable` (SRCDIR or DSTDIR) for a
// path built from it; null, with a journal line about `subject` (the
// command, or the path as the script spells it) and the failure flag, when
// it is undefined or empty: a path built from it would lead to the root of
// the current drive, or nowhere.
const char* InstallDirectory(Engine& engine, const char* variable,
                             const char* subject);
