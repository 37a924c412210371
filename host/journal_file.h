// The install journal's file: each line appended with the local time as it
// is written, so that a run that is killed keeps every line up to its end.
#pragma once

#include <windows.h>

#include "script/journal.h"

class FileJournal : public JournalSink {
 public:
  ~FileJournal() override;
  // Opens `path` for appending (creating it); false when it cannot be.
  bool Open(const char* path);
  void WriteLine(const char* text) override;

 private:
  HANDLE file_ = INVALID_HANDLE_VALUE;
};
