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
// fit is passed over: `tooLong(entry)` is told of it. Returns kOk when the
// listing was read to its end (an empty directory too) or `visit` stopped
// it, else the status of the listing call that failed: kErrPathNotFound
// for a directory that is not there, another code for one that could not
// be read whole.
template <typename Visit, typename TooLong>
Status ForEachEntry(Effects& effects, const char* directory,
                    const char* separator, Visit visit, TooLong tooLong) {
  char pattern[kPathMax];
  if (!JoinText(pattern, {directory, separator, "*.*"})) return kErrFilenameTooLong;
  FindData entry;
  FindRef find = nullptr;
  Status status = effects.FindFirstFile(pattern, &entry, &find);
  if (status != kOk) return status == kErrFileNotFound ? kOk : status;
  do {
    char path[kPathMax];
    if (!JoinText(path, {directory, separator, entry.name})) {
      tooLong(entry);
      continue;
    }
    if (!visit(entry, path)) {
      status = kErrNoMoreFiles;
      break;
    }
  } while ((status = effects.FindNextFile(find, &entry)) == kOk);
  effects.FindClose(find);
  return status == kErrNoMoreFiles ? kOk : status;
}

template <typename Visit>
Status ForEachEntry(Effects& effects, const char* directory,
                    const char* separator, Visit visit) {
  return ForEachEntry(effects, directory, separator, visit, [](const FindData&) {});
}
