// The disk and plug-in lines of a fresh import.
#include "runtimecfg/fresh_import.h"

#include "runtimecfg/config_lines.h"
#include "script/text.h"

static const char kDefaultCacheLine[] = "disk ./Cache 64000\n";
static const char kDefaultPartitionLine[] = "disk ./Partition 0\n";

bool PutDiskLine(ByteBuffer& out, const char* text, size_t length) {
  if (!out.AppendText("disk ")) return false;
  bool quoted = false;
  for (size_t i = 0; i < length; ++i) {
    char c = text[i];
    bool ok = true;
    if (c == '\\') {
      ok = out.Append("/", 1);
    } else if (c == '"') {
      quoted = !quoted;
    } else if (c == ' ' && quoted) {
      ok = out.Append("\\ ", 2);
    } else {
      ok = out.Append(&c, 1);
    }
    if (!ok) return false;
  }
  return out.Append("\r\n", 2);
}

// A zekpack.ini line gives a disk line unless, after its leading blanks,
// it is empty, a comment, or with its line end 3 bytes or shorter.
static bool IsUsableDiskSource(const ConfigLine& line) {
  size_t length;
  const char* text = TextAfterBlanks(line, &length);
  size_t withEnd = length + (line.hasEnd ? 1 : 0);
  return length > 0 && text[0] != '#' && withEnd > 3;
}

static bool PutDiskLines(FileText zekpack, ByteBuffer& out) {
  ConfigLineReader reader(zekpack.data, zekpack.size);
  ConfigLine line;
  int used = 0;
  while (reader.Next(&line)) {
    if (!IsUsableDiskSource(line)) continue;
    size_t length;
    const char* text = TextAfterBlanks(line, &length);
    if (!PutDiskLine(out, text, length)) return false;
    ++used;
  }
  if (used == 0 && !PutText(out, kDefaultCacheLine)) return false;
  if (used < 2 && !PutText(out, kDefaultPartitionLine)) return false;
  return true;
}

// "plugin " and the first zekdll.ini line that names quorpdll.dll.
static bool PutPluginLibraryLine(FileText zekdll, ByteBuffer& out) {
  ConfigLineReader reader(zekdll.data, zekdll.size);
  ConfigLine line;
  while (reader.Next(&line)) {
    if (!BeginsWithKeyword(line, "quorpdll.dll")) continue;
    size_t length;
    const char* text = TextAfterBlanks(line, &length);
    return out.AppendText("plugin ") && out.Append(text, length) &&
           out.Append("\r\n", 2);
  }
  return true;
}

bool AppendFreshImportLines(FileText installed, FileText zekpack,
                            FileText zekdll, ByteBuffer& out) {
  if (EndsOpen(installed.data, installed.size) && !out.Append("\r\n", 2)) {
    return false;
  }
  if (!zekpack.data) {
    return PutText(out, kDefaultCacheLine) && PutText(out, kDefaultPartitionLine);
  }
  if (!PutDiskLines(zekpack, out)) return false;
  return !zekdll.data || PutPluginLibraryLine(zekdll, out);
}
