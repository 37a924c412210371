// What a fresh import adds to the shipped zek.ini once it is installed:
// the disk lines from zekpack.ini and the plug-in line from zekdll.ini.
#pragma once

#include <cstddef>

#include "script/byte_buffer.h"

// A file's contents, or none (data null) when the file is missing.
struct FileText {
  const char* data;
  size_t size;
};

// Appends to `out` the lines a fresh import adds to `installed` (the
// copied zek.ini): when zekpack.ini is missing, the two default disk lines
// alone; otherwise its disk lines and, from zekdll.ini, the plug-in line.
// The first line starts a line of its own, and every line ends. False when
// memory runs out.
bool AppendFreshImportLines(FileText installed, FileText zekpack,
                            FileText zekdll, ByteBuffer& out);

// "disk " and a zekpack.ini line after its leading blanks: backslashes
// become '/', double quotes switch quoting and go, and a space inside
// quotes becomes backslash and space.
bool PutDiskLine(ByteBuffer& out, const char* text, size_t length);
