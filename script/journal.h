// The install journal (/LOG=<path>): a plain-text record of the run that
// administrators read to audit unattended installs. Each line is written
// as the run goes; the sink adds the time. Without a journal nothing here
// costs more than a test of one pointer.
#pragma once

#include <initializer_list>

struct Engine;

// Where journal lines go (the host's file).
class JournalSink {
 public:
  virtual ~JournalSink() {}
  virtual void WriteLine(const char* text) = 0;
};

typedef std::initializer_list<const char*> JournalParts;

// One line "<script>:<line>: <kind>: <parts joined>" (without the script
// part outside a run, and "<script>: " before its first line is read). A
// null part reads "(none)". Nothing without a journal.
void Journal(Engine& engine, const char* kind, JournalParts parts);
