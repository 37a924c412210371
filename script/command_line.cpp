// Command-line switches and the command-line directory.
#include "script/command_line.h"

#include <cstring>

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

static const char kJournalSwitch[] = "/LOG=";

// The start of a "/LOG=" word in `text`, or null.
static char* FindJournalSwitch(char* text) {
  for (char* p = text; *p; ++p) {
    bool wordStart = p == text || IsBlank(p[-1]);
    if (wordStart && StartsWithNoCase(p, kJournalSwitch)) return p;
  }
  return nullptr;
}

bool TakeJournalSwitch(char* arguments, char (&path)[kPathMax]) {
  path[0] = 0;
  char* start = FindJournalSwitch(arguments);
  if (!start) return false;
  char* value = start + strlen(kJournalSwitch);
  char* end;
  if (*value == '"') {
    ++value;
    end = strchr(value, '"');
    if (!end) end = value + strlen(value);
  } else {
    end = value;
    while (*end && !IsBlank(*end)) ++end;
  }
  size_t length = static_cast<size_t>(end - value);
  if (length < kPathMax) {
    memcpy(path, value, length);
    path[length] = 0;
  }
  if (*end == '"') ++end;
  memset(start, ' ', static_cast<size_t>(end - start));
  return true;
}

void ParseCommandLine(char* arguments, RunModes& modes) {
  if (TakeJournalSwitch(arguments, modes.journalPath)) modes.journalRequested = true;
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
    } else {
      TakeDirectoryWord(word, modes);
    }
  }
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
