// The listing of one directory that every tree walk goes through.
#include "actions/directory_walk.h"

#include "script/text.h"

Status ListEntries(Effects& effects, const char* directory, const char* separator,
                   const char* names, EntryVisit visit, EntryTooLong tooLong,
                   void* context) {
  char pattern[kPathMax];
  if (!JoinText(pattern, {directory, separator, names})) return kErrFilenameTooLong;
  FindData entry;
  FindRef find = nullptr;
  Status status = effects.FindFirstFile(pattern, &entry, &find);
  if (status != kOk) return status == kErrFileNotFound ? kOk : status;
  do {
    char path[kPathMax];
    if (!JoinText(path, {directory, separator, entry.name})) {
      tooLong(context, entry);
      continue;
    }
    if (!visit(context, entry, path)) {
      status = kErrNoMoreFiles;
      break;
    }
  } while ((status = effects.FindNextFile(find, &entry)) == kOk);
  effects.FindClose(find);
  return status == kErrNoMoreFiles ? kOk : status;
}
