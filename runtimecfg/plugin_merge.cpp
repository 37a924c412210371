// The plug-in merge. Entries are held as a text-mode reader sees them: the
// text after "plugin" and its blanks, with a final "\n" when the line had
// an end (CR, LF or CR LF); the version tag comparison may reach that "\n".
#include "runtimecfg/plugin_merge.h"

#include <cstring>

#include "runtimecfg/config_lines.h"
#include "script/memory.h"
#include "script/text.h"

namespace {

// The shipped entries, in file order; a slot is emptied (null) once an
// installed line has paired with it.
class PluginSlots {
 public:
  ~PluginSlots() {
    for (size_t i = 0; i < count_; ++i) MemFree(slots_[i]);
    MemFree(slots_);
  }
  bool Add(char* entry) {
    if (!entry) return false;
    if (count_ == capacity_) {
      size_t wanted = capacity_ ? capacity_ * 2 : 16;
      void* grown = MemRealloc(slots_, wanted * sizeof(char*));
      if (!grown) {
        MemFree(entry);
        return false;
      }
      slots_ = static_cast<char**>(grown);
      capacity_ = wanted;
    }
    slots_[count_++] = entry;
    return true;
  }
  size_t count() const { return count_; }
  char* at(size_t i) const { return slots_[i]; }
  // Hands the entry over to the caller, who frees it.
  char* Take(size_t i) {
    char* entry = slots_[i];
    slots_[i] = nullptr;
    return entry;
  }

 private:
  char** slots_ = nullptr;
  size_t count_ = 0;
  size_t capacity_ = 0;
};

}  // namespace

// A heap copy of the plug-in entry of a line that begins with "plugin".
static char* CopyPluginEntry(const ConfigLine& line) {
  size_t length;
  const char* text = TextAfterBlanks(line, &length);
  size_t skip = strlen("plugin");
  while (skip < length && IsBlank(text[skip])) ++skip;
  // A line end after nothing but blanks is itself a blank: no entry text.
  bool withEnd = line.hasEnd && skip < length;
  size_t entryLength = length - skip;
  char* entry = static_cast<char*>(MemAlloc(entryLength + 2));
  if (!entry) return nullptr;
  memcpy(entry, text + skip, entryLength);
  if (withEnd) entry[entryLength++] = '\n';
  entry[entryLength] = 0;
  return entry;
}

size_t PluginStemLength(const char* entry) {
  return strcspn(entry, "-.");
}

size_t PluginTagLength(const char* entry, const char** tag) {
  const char* stemEnd = entry + PluginStemLength(entry);
  *tag = stemEnd;
  if (*stemEnd != '-') return 0;
  return strcspn(stemEnd + 1, ".") + 1;
}

// The entry an installed plug-in line ends up with: the first shipped entry
// whose text begins with the installed stem, unless the installed version
// tag is greater; that shipped entry is used up either way. An entry with
// an empty stem pairs with nothing. Null: keep `old`. The result is the
// caller's to free.
static char* ChooseEntry(const char* old, PluginSlots& slots) {
  size_t stemLength = PluginStemLength(old);
  if (stemLength == 0) return nullptr;
  for (size_t i = 0; i < slots.count(); ++i) {
    const char* slot = slots.at(i);
    if (!slot || CompareFoldingCase(slot, old, stemLength) != 0) continue;
    const char* tag;
    size_t tagLength = PluginTagLength(old, &tag);
    bool oldIsNewer = CompareFoldingCase(tag, slot + stemLength, tagLength) > 0;
    char* taken = slots.Take(i);
    if (!oldIsNewer) return taken;
    MemFree(taken);
    return nullptr;
  }
  return nullptr;
}

// "plugin " and the entry, without the entry's line end.
static bool PutPluginText(ByteBuffer& out, const char* entry) {
  size_t length = strlen(entry);
  if (length > 0 && entry[length - 1] == '\n') --length;
  return out.AppendText("plugin ") && out.Append(entry, length);
}

// The plug-in line that takes the place of an installed one: it keeps that
// line's end, and a last line without one gets CR LF so nothing joins it.
static bool PutPluginLineInPlace(ByteBuffer& out, const char* entry,
                                 const ConfigLine& installed) {
  return PutPluginText(out, entry) && PutOwnLineEnd(out, installed);
}

// A shipped entry added after the installed lines, on a line of its own.
static bool PutAddedPluginLine(ByteBuffer& out, const char* entry) {
  return PutLineEndIfOpen(out) && PutPluginText(out, entry) &&
         out.Append("\r\n", 2);
}

static bool CollectShippedEntries(FileText shipped, PluginSlots& slots) {
  if (!shipped.data) return true;
  ConfigLineReader reader(shipped.data, shipped.size);
  ConfigLine line;
  while (reader.Next(&line)) {
    if (BeginsWithKeyword(line, "plugin") && !slots.Add(CopyPluginEntry(line))) {
      return false;
    }
  }
  return true;
}

bool MergePluginLines(FileText installed, FileText shipped, ByteBuffer& out) {
  PluginSlots slots;
  if (!CollectShippedEntries(shipped, slots)) return false;
  ConfigLineReader reader(installed.data, installed.size);
  ConfigLine line;
  while (reader.Next(&line)) {
    if (!BeginsWithKeyword(line, "plugin")) {
      if (!PutRawLine(out, line)) return false;
      continue;
    }
    char* old = CopyPluginEntry(line);
    if (!old) return false;
    char* chosen = ChooseEntry(old, slots);
    bool ok = PutPluginLineInPlace(out, chosen ? chosen : old, line);
    MemFree(chosen);
    MemFree(old);
    if (!ok) return false;
  }
  for (size_t i = 0; i < slots.count(); ++i) {
    if (!slots.at(i)) continue;
    if (!PutAddedPluginLine(out, slots.at(i))) return false;
  }
  return !out.failed();
}
