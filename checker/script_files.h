// setupcheck's reading of the files it checks: each script or language
// file is read once (regular files only), split into lines and each line
// parsed once, as setup reads it. Every later check works on these lines.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "script/command_table.h"

// One statement as the parser reads it.
struct ParsedStatement {
  CommandId id = kCmdInvalid;  // kCmdInvalid: an unknown keyword
  std::string keyword;         // as written
  std::string text1, text2;    // the slots as written
  bool quoted1 = false, quoted2 = false;
  int given = 0;               // arguments written
  std::string ignored;         // text after the second argument
};

struct ScriptLine {
  long number;
  std::string text;             // without its line end
  bool overLong = false;        // longer than setup reads
  std::string label;            // the section a label line names; "" for others
  bool labelBracket = false;    // its first non-blank byte is '['
  bool endsSection = false;     // its very first byte is '[': a section run ends
  bool isStatement = false;     // neither blank, a comment nor a label
  ParsedStatement statement;    // when isStatement (of the line's first 1023 bytes)
  bool IsKnownStatement() const { return isStatement && statement.id != kCmdInvalid; }
};

// Where a skip from If or Else can stop: the last line of the file whose
// first word is Else, and the last whose first word is Endif (0: none).
struct SkipTargets {
  long lastElse = 0;
  long lastEndif = 0;
};

struct ScriptText {
  std::string name;  // as named to the checker
  std::vector<ScriptLine> lines;
  std::map<std::string, long> sections;  // upper-cased name -> first label line
  SkipTargets skips;
  bool HasSection(const std::string& section) const;  // any case
};

// The files of one directory, each read once; an unreadable one stays so.
struct ScriptFiles {
  std::string directory;
  std::map<std::string, ScriptText> loaded;  // by upper-cased name; unreadable: no name
  bool languageFilesListed = false;
  std::vector<std::string> languageFiles;    // setup.*.txt, sorted
};

std::string Upper(std::string text);
// The file `name`, read and parsed on first use, or null (with `reason`)
// when it cannot be read.
const ScriptText* LoadedFile(ScriptFiles& files, const std::string& name,
                             std::string* reason = nullptr);
// The language files setup.*.txt of the directory.
const std::vector<std::string>& LanguageFiles(ScriptFiles& files);
