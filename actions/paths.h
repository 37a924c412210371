// Path rules of the file commands: which paths are too wide a target, and
// whether two paths name the same place or one lies inside the other.
#pragma once

class Effects;

// True for a text that names a whole drive or no directory at all: "",
// "\", "/", "X:", "X:\" or "X:/".
bool IsDriveRootOrEmpty(const char* path);

// True when both paths name the same file (full paths, ASCII case ignored,
// '/' as '\').
bool IsSamePath(Effects& effects, const char* a, const char* b);

// True when `inner` is `outer` or lies inside the tree `outer`.
bool IsInsideTree(Effects& effects, const char* inner, const char* outer);
