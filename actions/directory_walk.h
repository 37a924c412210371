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

// What a listing calls for each entry, with the caller's `context`.
typedef bool (*EntryVisit)(void* context, const FindData& entry, const char* path);
typedef void (*EntryTooLong)(void* context, const FindData& entry);

// The listing itself, shared by every walk: ForEachMatch below, without
// the lambdas, for the entries whose names match `names` ("*.*": all).
Status ListEntries(Effects& effects, const char* directory, const char* separator,
                   const char* names, EntryVisit visit, EntryTooLong tooLong,
                   void* context);

// Calls `visit(entry, path)` for each entry of `directory` whose name
// matches `names`, the path joined with `separator`, until it returns
// false. An entry whose path does not fit is passed over: `tooLong(entry)`
// is told of it. Returns kOk when the listing was read to its end (none
// that matches too) or `visit` stopped it, else the status of the listing
// call that failed: kErrPathNotFound for a directory that is not there,
// another code for one that could not be read whole.
template <typename Visit, typename TooLong>
Status ForEachMatch(Effects& effects, const char* directory, const char* separator,
                    const char* names, Visit visit, TooLong tooLong) {
  struct Calls {
    Visit& visit;
    TooLong& tooLong;
  } calls = {visit, tooLong};
  return ListEntries(
      effects, directory, separator, names,
      [](void* context, const FindData& entry, const char* path) -> bool {
        return static_cast<Calls*>(context)->visit(entry, path);
      },
      [](void* context, const FindData& entry) {
        static_cast<Calls*>(context)->tooLong(entry);
      },
      &calls);
}

// ForEachMatch for every entry.
template <typename Visit, typename TooLong>
Status ForEachEntry(Effects& effects, const char* directory,
                    const char* separator, Visit visit, TooLong tooLong) {
  return ForEachMatch(effects, directory, separator, "*.*", visit, tooLong);
}

template <typename Visit>
Status ForEachEntry(Effects& effects, const char* directory,
                    const char* separator, Visit visit) {
  return ForEachEntry(effects, directory, separator, visit, [](const FindData&) {});
}
