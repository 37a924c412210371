// The journal file: opened once for appending, one WriteFile per line.
#include "host/journal_file.h"

#include <cstring>

#include "script/byte_buffer.h"
#include "script/text.h"

FileJournal::~FileJournal() {
  if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
}

// Shared for writing too: a setup.exe that another one starts (with Run,
// RunWait, or an uninstall that moves out of the product folder) may keep
// the same journal. Each line is one write at the end of the file, so the
// two runs' lines interleave whole.
bool FileJournal::Open(const char* path) {
  file_ = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  return file_ != INVALID_HANDLE_VALUE;
}

// "2026-12-07 13:10:20.123 " for the local time now.
static void PutTime(ByteBuffer& line) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  const int fields[] = {now.wYear, now.wMonth, now.wDay, now.wHour,
                        now.wMinute, now.wSecond, now.wMilliseconds};
  static const char kAfter[] = "-- ::. ";  // the byte after each field
  for (int i = 0; i < 7; ++i) {
    char digits[12];
    FormatDecimal(digits, fields[i]);
    size_t width = i == 0 ? 4 : i == 6 ? 3 : 2;
    for (size_t pad = strlen(digits); pad < width; ++pad) line.Append("0", 1);
    line.AppendText(digits);
    line.Append(&kAfter[i], 1);
  }
}

void FileJournal::WriteLine(const char* text) {
  if (file_ == INVALID_HANDLE_VALUE) return;
  ByteBuffer line;
  PutTime(line);
  line.AppendText(text);
  line.Append("\r\n", 2);
  if (line.failed()) return;
  DWORD written = 0;
  WriteFile(file_, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}
