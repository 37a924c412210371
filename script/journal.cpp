// Journal lines: where in the script, what kind, and the details.
#include "script/journal.h"

#include "script/byte_buffer.h"
#include "script/engine.h"
#include "script/script_file.h"

void Journal(Engine& engine, const char* kind, JournalParts parts) {
  if (!engine.journal) return;
  ByteBuffer line;
  if (engine.script && engine.script->IsOpen() && engine.runDepth > 0) {
    long lineNumber = engine.script->LineNumber();
    char number[12];
    number[0] = 0;
    if (lineNumber > 0) FormatDecimal(number, lineNumber);
    line.AppendText(engine.script->Path());
    line.AppendText(lineNumber > 0 ? ":" : "");
    line.AppendText(number);
    line.AppendText(": ");
  }
  line.AppendText(kind);
  line.AppendText(": ");
  for (const char* part : parts) line.AppendText(part ? part : "(none)");
  line.Append("", 1);
  if (!line.failed()) engine.journal->WriteLine(line.data());
}
