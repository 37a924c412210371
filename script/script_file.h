// The current script file: read whole through the effects when it is
// opened, then taken line by line with exact positions, so that nested
// section runs can put the caller back where it was. CR LF reads as LF, as
// in a text-mode read. The main script stays open for the whole run; a run
// of another file (Include) restores the caller's position untouched.
#pragma once

#include "script/byte_buffer.h"
#include "script/effects.h"
#include "script/text.h"

// True when `path` names a file (not a directory) that is there to read.
bool IsReadableFile(Effects& effects, const char* path);

class ScriptFile {
 public:
  constexpr ScriptFile() {}
  ScriptFile(const ScriptFile&) = delete;
  ScriptFile& operator=(const ScriptFile&) = delete;

  // Reads the whole file. A missing file or a directory fails quietly
  // (kErrFileNotFound, kErrPathNotFound, kErrAccessDenied); a file that is
  // there but cannot be read fails through the effects' failure log.
  Status Open(Effects& effects, const char* path);
  void Close();
  bool IsOpen() const { return open_; }

  // Reads the next line into `line`, keeping its line feed. A line longer
  // than kLineMax-1 bytes gives its first kLineMax-1 bytes and `*overLong`
  // set; the rest of it is passed over, never read as a line of its own.
  // False at the end of the file.
  bool ReadLine(char (&line)[kLineMax], bool* overLong = nullptr);
  // For data files: a line longer than kLineMax-1 bytes comes in pieces of
  // kLineMax-1 bytes and a rest, each read as a line.
  bool ReadLinePiece(char (&line)[kLineMax]);
  long Tell() const { return static_cast<long>(position_); }
  void Seek(long position);
  void Rewind() { Seek(0); }

  // The path it was opened with, and the number of the line read last
  // (1 for the first), for the install journal. Counted only when asked:
  // a run without a journal pays nothing for it.
  const char* Path() const { return path_; }
  long LineNumber();

 private:
  static const int kEnd = -1;
  int ReadByte();
  size_t ReadPiece(char (&line)[kLineMax]);

  ByteBuffer contents_;
  bool open_ = false;
  size_t position_ = 0;
  char path_[kPathMax] = "";
  size_t seekPosition_ = 0;  // where the last Seek went
  long linesBeforeSeek_ = 0; // line feeds before it; -1 until counted
  long linesDone_ = 0;       // line feeds read since
  long lineNumber_ = 0;      // of the line read last, counted from the seek
};
