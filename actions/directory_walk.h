// One listing of a directory for the commands that walk trees: every entry
// but "." and "..", with its full path. No walk descends into a reparse
// point (a junction or a link): it could lead outside the tree, or round
// in a loop.
#pragma once

#include "script/effects.h"

// A directory that a walk may enter: not a reparse point.
inline bool IsRealDirectory(const FindData& entry) {
  return (entry.attributes & kAttrDirectory) &&
         !(entry.attributes & kAttrReparsePoint);
}

// Calls `visit(entry, path)` for each entry of `directory`, the path joined
// with `separator`, until it returns false. An entry whose path does not
// fit is passed over: `tooLong(entry)` is told of it.
template <typename Visit, typename TooLong>
void ForEachEntry(Effects& effects, const char* directory,
                  const char* separator, Visit visit, TooLong tooLong) {
  char pattern[kPathMax];
  if (!JoinText(pattern, {directory, separator, "*.*"})) return;
  FindData entry;
  FindRef find = nullptr;
  if (effects.FindFirstFile(pattern, &entry, &find) != kOk) return;
  do {
    char path[kPathMax];
    if (!JoinText(path, {directory, separator, entry.name})) {
      tooLong(entry);
      continue;
    }
    if (!visit(entry, path)) break;
  } while (effects.FindNextFile(find, &entry) == kOk);
  effects.FindClose(find);
}

template <typename Visit>
void ForEachEntry(Effects& effects, const char* directory,
                  const char* separator, Visit visit) {
  ForEachEntry(effects, directory, separator, visit, [](const FindData&) {});
}
