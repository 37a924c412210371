// Command-line switches and the command-line directory.
#include "script/command_line.h"

#include <cstring>

#include "script/byte_buffer.h"
#include "script/split_words.h"
#include "script/memory.h"
#include "script/text.h"

static void TakeDirectoryWord(const char* word, RunModes& modes) {
  if (!FitsIn(word, sizeof modes.commandLineDir)) return;
  CopyText(modes.commandLineDir, word);
  size_t length = strlen(modes.commandLineDir);
  if (length > 0) {
    char& last = modes.commandLineDir[length - 1];
    if (last == '/' || last == '\\') last = 0;
  }
}

// The start of a word "<name>..." in `text`, or null.
static char* FindSwitch(char* text, const char* name) {
  for (char* p = text; *p; ++p) {
    bool wordStart = p == text || IsBlank(p[-1]);
    if (wordStart && StartsWithNoCase(p, name)) return p;
  }
  return nullptr;
}

// Takes the value at `value` (quoted, or up to the next blank) into
// `out` ("" when it does not fit); returns the first byte after it.
static char* TakeSwitchValue(char* value, char (&out)[kPathMax]) {
  char* end;
  bool quoted = *value == '"';
  if (quoted) {
    ++value;
    end = strchr(value, '"');
    if (!end) end = value + strlen(value);
  } else {
    end = value;
    while (*end && !IsBlank(*end)) ++end;
  }
  size_t length = static_cast<size_t>(end - value);
  out[0] = 0;
  if (length < kPathMax) {
    memcpy(out, value, length);
    out[length] = 0;
  }
  return quoted && *end == '"' ? end + 1 : end;
}

bool TakeValueSwitch(char* arguments, const char* name, char (&value)[kPathMax]) {
  bool found = false;
  value[0] = 0;
  while (char* start = FindSwitch(arguments, name)) {
    char* end = TakeSwitchValue(start + strlen(name), value);
    memset(start, ' ', static_cast<size_t>(end - start));
    found = true;
  }
  return found;
}

// "/DIR=<path>": taken as written; a trailing separator goes, except a
// drive root's ("C:\").
static void TakeDirectorySwitch(char (&path)[kPathMax], RunModes& modes) {
  if (!path[0]) return;
  size_t length = strlen(path);
  bool driveRoot = length == 3 && path[1] == ':';
  if (!driveRoot && (path[length - 1] == '\\' || path[length - 1] == '/')) {
    path[length - 1] = 0;
  }
  CopyText(modes.commandLineDir, path);
  modes.directorySwitch = true;
}

// The internal switches of an uninstall moved out of the product folder.
static void TakeMovedUninstallSwitches(char* arguments, RunModes& modes) {
  TakeValueSwitch(arguments, "/ORIGIN=", modes.originDir);
  char number[kPathMax];
  TakeValueSwitch(arguments, "/PARENT=", number);
  modes.parentProcess = HandleNumber(number);
  TakeValueSwitch(arguments, "/RESULTPIPE=", number);
  modes.resultPipe = HandleNumber(number);
}

void ParseCommandLine(char* arguments, RunModes& modes) {
  modes.journalRequested = TakeValueSwitch(arguments, "/LOG=", modes.journalPath);
  modes.answersRequested = TakeValueSwitch(arguments, "/ANSWERS=", modes.answersPath);
  modes.saveAnswersRequested =
      TakeValueSwitch(arguments, "/SAVEANSWERS=", modes.saveAnswersPath);
  TakeMovedUninstallSwitches(arguments, modes);
  char directory[kPathMax];
  bool directorySwitch = TakeValueSwitch(arguments, "/DIR=", directory);
  char* words[kMaxCommandWords];
  int count = SplitWords(arguments, words, kMaxCommandWords);
  for (int i = 0; i < count; ++i) {
    const char* word = words[i];
    if (EqualsNoCase(word, "/UNINSTALL")) {
      modes.uninstall = true;
    } else if (EqualsNoCase(word, "/MINI")) {
      modes.mini = true;
    } else if (EqualsNoCase(word, "/SILENT")) {
      modes.mini = true;
      modes.silent = true;
    } else if (EqualsNoCase(word, "/NORESTART")) {
      modes.noRestart = true;
    } else if (EqualsNoCase(word, "/ROLLBACK")) {
      modes.rollback = true;
    } else {
      TakeDirectoryWord(word, modes);
    }
  }
  if (directorySwitch) TakeDirectorySwitch(directory, modes);
}

bool ParseCommandLineCopy(const char* arguments, RunModes& modes) {
  char* copy = MemDupText(arguments);
  if (!copy) return false;
  ParseCommandLine(copy, modes);
  MemFree(copy);
  return true;
}

bool ProgramDirectoryOf(const char* modulePath, char* directory,
                        size_t capacity) {
  const char* cut = nullptr;
  for (const char* p = modulePath; *p; ++p) {
    if (*p == '/' || *p == '\\') cut = p;
  }
  if (!cut) return false;
  size_t length = static_cast<size_t>(cut - modulePath);
  bool driveRoot = length == 2 && modulePath[1] == ':';
  if (driveRoot) ++length;  // keep the root's backslash
  if (length == 0 || length >= capacity) return false;
  memcpy(directory, modulePath, length);
  directory[length] = 0;
  return true;
}

const char* SkipProgramName(const char* commandLine) {
  const char* p = commandLine;
  if (*p == '"') {
    ++p;
    while (*p && *p != '"') ++p;
    if (*p == '"') ++p;
  } else {
    while (*p && *p != ' ' && *p != '\t') ++p;
  }
  while (*p == ' ' || *p == '\t') ++p;
  return p;
}

unsigned long HandleNumber(const char* text) {
  unsigned long long value = 0;
  for (const char* p = text; *p; ++p) {
    if (*p < '0' || *p > '9') return 0;
    value = value * 10 + static_cast<unsigned>(*p - '0');
    if (value > 0x7FFFFFFFULL) return 0;
  }
  return static_cast<unsigned long>(value);
}

bool BuildMovedUninstallCommandLine(ByteBuffer& line, const char* program,
                                    const char* origin, unsigned long parent,
                                    unsigned long pipe, const char* arguments) {
  if (strchr(program, '"') || strchr(origin, '"')) return false;
  char parentText[12], pipeText[12];
  FormatDecimal(parentText, static_cast<long>(parent));
  FormatDecimal(pipeText, static_cast<long>(pipe));
  std::initializer_list<const char*> parts = {
      "\"", program, "\" /ORIGIN=\"", origin, "\" /PARENT=", parentText,
      " /RESULTPIPE=", pipeText, " ", arguments};
  for (const char* part : parts) {
    line.AppendText(part);
  }
  line.Append("", 1);
  return !line.failed();
}
