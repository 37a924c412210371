// Script file reading. The file is read whole through the effects and CR LF
// pairs are folded here, so positions are byte offsets into the file as it
// is on disk and the runner can seek back to saved ones.
#include "script/script_file.h"

bool IsReadableFile(Effects& effects, const char* path) {
  unsigned long attributes = 0;
  return path && effects.GetFileAttributes(path, &attributes) == kOk &&
         !(attributes & kAttrDirectory);
}

Status ScriptFile::Open(Effects& effects, const char* path) {
  Close();
  if (!path) return kErrFileNotFound;
  CopyText(path_, path);
  unsigned long attributes = 0;
  Status status = effects.GetFileAttributes(path, &attributes);
  if (status != kOk) return status;
  if (attributes & kAttrDirectory) return kErrAccessDenied;
  status = effects.ReadWholeFile(path, &contents_);
  if (status != kOk) {
    contents_.Clear();
    return status;
  }
  open_ = true;
  return kOk;
}

void ScriptFile::Close() {
  contents_.Clear();
  open_ = false;
  position_ = seekPosition_ = 0;
  linesBeforeSeek_ = linesDone_ = lineNumber_ = 0;
}

// The next byte with CR LF read as LF, or kEnd.
int ScriptFile::ReadByte() {
  const char* data = contents_.data();
  size_t size = contents_.size();
  if (position_ >= size) return kEnd;
  unsigned char c = static_cast<unsigned char>(data[position_++]);
  if (c == '\r' && position_ < size && data[position_] == '\n') {
    c = '\n';
    ++position_;
  }
  if (c == '\n') ++linesDone_;
  return c;
}

// Bytes read into `line` up to and with its line feed, at most
// kLineMax-1 of them (NUL bytes count too); 0 at the end of the file.
size_t ScriptFile::ReadPiece(char (&line)[kLineMax]) {
  size_t length = 0;
  while (length + 1 < kLineMax) {
    int c = ReadByte();
    if (c == kEnd) break;
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
    if (rest != kEnd && rest != '\n') {
      if (overLong) *overLong = true;
      while (rest != kEnd && rest != '\n') rest = ReadByte();
    }
  }
  return true;
}

void ScriptFile::Seek(long position) {
  size_t size = contents_.size();
  size_t target = position < 0 ? 0 : static_cast<size_t>(position);
  position_ = seekPosition_ = target < size ? target : size;
  linesBeforeSeek_ = position_ == 0 ? 0 : -1;
  linesDone_ = lineNumber_ = 0;
}

// The line feeds before the last seek are counted the first time a line
// number is asked for after it.
long ScriptFile::LineNumber() {
  if (linesBeforeSeek_ < 0) {
    const char* data = contents_.data();
    linesBeforeSeek_ = 0;
    for (size_t at = 0; at < seekPosition_; ++at) {
      if (data[at] == '\n') ++linesBeforeSeek_;
    }
  }
  return linesBeforeSeek_ + lineNumber_;
}
