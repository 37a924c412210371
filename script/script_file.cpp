// Script file reading. The file is opened in binary mode and CR LF pairs are
// folded here: a text-mode stream cannot report reliable positions for files
// with bare LF line ends, and the runner seeks back to saved positions.
#include "script/script_file.h"

bool ScriptFile::Open(const char* path) {
  Close();
  if (!path) return false;
  file_ = fopen(path, "rb");
  return file_ != nullptr;
}

void ScriptFile::Close() {
  if (file_) fclose(file_);
  file_ = nullptr;
}

bool ScriptFile::ReadLine(char (&line)[kLineMax]) {
  size_t length = 0;
  while (length + 1 < kLineMax) {
    int c = getc(file_);
    if (c == EOF) break;
    if (c == '\r') {
      int next = getc(file_);
      if (next == '\n') {
        c = '\n';
      } else if (next != EOF) {
        ungetc(next, file_);
      }
    }
    line[length++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  line[length] = 0;
  return length > 0;
}

long ScriptFile::Tell() const { return file_ ? ftell(file_) : 0; }

void ScriptFile::Seek(long position) {
  if (file_) fseek(file_, position, SEEK_SET);
}

bool CanOpenForReading(const char* path) {
  FILE* file = path ? fopen(path, "r") : nullptr;
  if (!file) return false;
  fclose(file);
  return true;
}
