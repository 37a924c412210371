// Reading each file the checker looks at once: only regular files are
// read, without waiting for a writer; lines end at LF (a CR before it is
// dropped); each line is parsed once with setup's own parser and keeps what
// every check needs: its label, whether it ends a section run, and its
// statement.
#include "checker/script_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "script/statement.h"
#include "script/text.h"

std::string Upper(std::string text) {
  for (char& c : text) c = FoldAscii(c);
  return text;
}

bool ScriptText::HasSection(const std::string& section) const {
  return sections.count(Upper(section)) > 0;
}

// Opening waits for no writer (a named pipe) and translates no line ends.
static int ReadOnlyOpenFlags() {
  int flags = O_RDONLY;
#ifdef O_NONBLOCK
  flags |= O_NONBLOCK;
#endif
#ifdef O_BINARY
  flags |= O_BINARY;
#endif
  return flags;
}

// The whole content of a regular file. A named pipe, a device or a
// directory is refused as it is opened, without a byte read from it.
static bool ReadRegularFile(const std::string& path, std::string* text,
                            std::string* reason) {
  int fd = open(path.c_str(), ReadOnlyOpenFlags());
  if (fd < 0) {
    *reason = strerror(errno);
    return false;
  }
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    *reason = "not a regular file";
    return false;
  }
  char chunk[16384];
  for (;;) {
    auto got = read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      *reason = strerror(errno);
      close(fd);
      return false;
    }
    if (got == 0) break;
    text->append(chunk, static_cast<size_t>(got));
  }
  close(fd);
  return true;
}

// The section name of a label line, or "" when the line is no label.
static std::string LabelOf(const char* line) {
  const char* p = SkipBlanks(line);
  if (*p != '[') return "";
  std::string name(p + 1);
  size_t close = name.find(']');
  return close == std::string::npos ? name : name.substr(0, close);
}

// The first word of a line as a block skip compares it: up to its first
// blank.
static std::string FirstWordOf(const char* line) {
  const char* word = SkipBlanks(line);
  const char* end = word;
  while (*end && !IsBlank(*end)) ++end;
  return std::string(word, end);
}

// The statement of a line that is neither blank, a comment nor a label.
static bool ParseStatementLine(char* line, ParsedStatement* out) {
  char* pos = SkipBlanks(line);
  if (*pos == 0 || *pos == ';' || *pos == '[') return false;
  char* start = pos;
  out->id = LookupKeyword(&pos);
  out->keyword = start;
  if (out->id == kCmdInvalid) return true;
  Argument first = ReadArgument(&pos);
  out->text1 = first.text;
  out->quoted1 = first.quoted;
  Argument second = ReadArgument(&pos);
  out->text2 = second.text;
  out->quoted2 = second.quoted;
  out->given = (out->quoted2 || !out->text2.empty()) ? 2
               : (out->quoted1 || !out->text1.empty()) ? 1 : 0;
  out->ignored = SkipBlanks(pos);
  return true;
}

// One line as setup reads it: its first 1023 bytes (up to a NUL byte).
static ScriptLine ReadLine(long number, const std::string& text) {
  ScriptLine line;
  line.number = number;
  line.text = text;
  line.overLong = text.size() > kLineMax - 1;
  line.endsSection = !text.empty() && text[0] == '[';
  char copy[kLineMax];
  CopyText(copy, text.c_str());
  line.label = LabelOf(copy);
  line.labelBracket = *SkipBlanks(copy) == '[';
  line.isStatement = ParseStatementLine(copy, &line.statement);
  return line;
}

static void NoteSkipTarget(const std::string& text, long number, SkipTargets* skips) {
  char copy[kLineMax];
  CopyText(copy, text.c_str());
  std::string word = FirstWordOf(copy);
  if (EqualsNoCase(word.c_str(), "Else")) skips->lastElse = number;
  if (EqualsNoCase(word.c_str(), "Endif")) skips->lastEndif = number;
}

static void ReadLines(const std::string& text, ScriptText* script) {
  long number = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    script->lines.push_back(ReadLine(++number, line));
    NoteSkipTarget(line, number, &script->skips);
    const std::string& label = script->lines.back().label;
    if (!label.empty()) script->sections.emplace(Upper(label), number);
    start = end + 1;
  }
}

const ScriptText* LoadedFile(ScriptFiles& files, const std::string& name,
                             std::string* reason) {
  std::string key = Upper(name);
  auto found = files.loaded.find(key);
  if (found != files.loaded.end()) {
    return found->second.name.empty() ? nullptr : &found->second;
  }
  ScriptText& script = files.loaded[key];
  std::string text, why;
  if (ReadRegularFile(files.directory + "/" + name, &text, &why)) {
    script.name = name;
    ReadLines(text, &script);
    return &script;
  }
  if (reason) *reason = why;
  return nullptr;
}

const std::vector<std::string>& LanguageFiles(ScriptFiles& files) {
  if (files.languageFilesListed) return files.languageFiles;
  files.languageFilesListed = true;
  DIR* dir = opendir(files.directory.c_str());
  if (!dir) return files.languageFiles;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name.size() > 10 && Upper(name.substr(0, 6)) == "SETUP." &&
        Upper(name.substr(name.size() - 4)) == ".TXT") {
      files.languageFiles.push_back(name);
    }
  }
  closedir(dir);
  std::sort(files.languageFiles.begin(), files.languageFiles.end());
  return files.languageFiles;
}
