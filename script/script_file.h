// The current script file: a byte stream read line by line with exact
// positions, so that nested section runs can put the caller back where it
// was. CR LF reads as LF, as in a text-mode read.
#pragma once

#include <cstdio>

#include "script/text.h"

// True when `path` names a file that can be opened for reading (the file
// is closed again at once).
bool CanOpenForReading(const char* path);

class ScriptFile {
 public:
  ScriptFile() : file_(nullptr) {}
  ~ScriptFile() { Close(); }
  ScriptFile(const ScriptFile&) = delete;
  ScriptFile& operator=(const ScriptFile&) = delete;

  bool Open(const char* path);
  void Close();
  bool IsOpen() const { return file_ != nullptr; }

  // Reads the next line into `line`, keeping its line feed. A line longer
  // than kLineMax-1 bytes gives its first kLineMax-1 bytes and `*overLong`
  // set; the rest of it is passed over, never read as a line of its own.
  // False at the end of the file.
  bool ReadLine(char (&line)[kLineMax], bool* overLong = nullptr);
  // For data files: a line longer than kLineMax-1 bytes comes in pieces of
  // kLineMax-1 bytes and a rest, each read as a line.
  bool ReadLinePiece(char (&line)[kLineMax]);
  long Tell() const;
  void Seek(long position);
  void Rewind() { Seek(0); }

  // The path it was opened with, and the number of the line read last
  // (1 for the first), for the install journal. Counted only when asked:
  // a run without a journal pays nothing for it.
  const char* Path() const { return path_; }
  long LineNumber();

 private:
  int ReadByte();
  size_t ReadPiece(char (&line)[kLineMax]);

  FILE* file_;
  char path_[kPathMax] = "";
  long seekPosition_ = 0;    // where the last Seek went
  long linesBeforeSeek_ = 0; // line feeds before it; -1 until counted
  long linesDone_ = 0;       // line feeds read since
  long lineNumber_ = 0;      // of the line read last, counted from the seek
};
