// Script file reading. The file is opened in binary mode and CR LF pairs are
// folded here: a text-mode stream cannot report reliable positions for files
// with bare LF line ends, and the runner seeks back to saved positions.
#include "script/script_file.h"

bool ScriptFile::Open(const char* path) {
  Close();
  if (!path) return false;
  file_ = fopen(path, "rb");
  CopyText(path_, path);
  seekPosition_ = linesBeforeSeek_ = linesDone_ = lineNumber_ = 0;
  return file_ != nullptr;
}

void ScriptFile::Close() {
  if (file_) fclose(file_);
  file_ = nullptr;
}

// The next byte with CR LF read as LF, or EOF.
int ScriptFile::ReadByte() {
  int c = getc(file_);
  if (c == '\n') ++linesDone_;
  if (c != '\r') return c;
  int next = getc(file_);
  if (next == '\n') {
    ++linesDone_;
    return '\n';
  }
  if (next != EOF) ungetc(next, file_);
  return c;
}

// Bytes read into `line` up to and with its line feed, at most
// kLineMax-1 of them (NUL bytes count too); 0 at the end of the file.
size_t ScriptFile::ReadPiece(char (&line)[kLineMax]) {
  size_t length = 0;
  while (length + 1 < kLineMax) {
    int c = ReadByte();
    if (c == EOF) break;
    line[length++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  line[length] = 0;
  return length;
}

bool ScriptFile::ReadLinePiece(char (&line)[kLineMax]) {
  return ReadPiece(line) > 0;
}

bool ScriptFile::ReadLine(char (&line)[kLineMax], bool* overLong) {
  if (overLong) *overLong = false;
  lineNumber_ = linesDone_ + 1;
  size_t length = ReadPiece(line);
  if (length == 0) return false;
  if (length + 1 == kLineMax && line[length - 1] != '\n') {
    int rest = ReadByte();
    if (rest != EOF && rest != '\n') {
      if (overLong) *overLong = true;
      while (rest != EOF && rest != '\n') rest = ReadByte();
    }
  }
  return true;
}

long ScriptFile::Tell() const { return file_ ? ftell(file_) : 0; }

void ScriptFile::Seek(long position) {
  if (!file_) return;
  fseek(file_, position, SEEK_SET);
  seekPosition_ = position;
  linesBeforeSeek_ = position == 0 ? 0 : -1;
  linesDone_ = lineNumber_ = 0;
}

// The line feeds before the last seek are counted the first time a line
// number is asked for after it.
long ScriptFile::LineNumber() {
  if (file_ && linesBeforeSeek_ < 0) {
    long here = ftell(file_);
    fseek(file_, 0, SEEK_SET);
    linesBeforeSeek_ = 0;
    for (long at = 0; at < seekPosition_; ++at) {
      int c = getc(file_);
      if (c == EOF) break;
      if (c == '\n') ++linesBeforeSeek_;
    }
    fseek(file_, here, SEEK_SET);
  }
  return (linesBeforeSeek_ > 0 ? linesBeforeSeek_ : 0) + lineNumber_;
}

bool CanOpenForReading(const char* path) {
  FILE* file = path ? fopen(path, "r") : nullptr;
  if (!file) return false;
  fclose(file);
  return true;
}
