// The setup dialogs' text rules.
#include "dialogs/dialog_rules.h"

#include <cstring>

#include "script/effects.h"
#include "script/var_store.h"

bool IsValidDirName(const char* name) {
  return name && *name && !name[strcspn(name, "\"*/:<>?\\|")];
}

bool JoinItemPath(const char* const* texts, size_t count,
                  char (&path)[kPathMax]) {
  path[0] = 0;
  size_t used = 0;
  for (size_t i = 0; i < count; ++i) {
    size_t length = strlen(texts[i]);
    size_t separator = i > 0 ? 1 : 0;
    if (used + separator + length >= kPathMax) {
      path[0] = 0;
      return false;
    }
    if (separator) path[used++] = '\\';
    memcpy(path + used, texts[i], length);
    used += length;
  }
  path[used] = 0;
  return true;
}

bool IsConfirmablePath(const char* path) { return path && strlen(path) >= 4; }

size_t NewFolderNameLimit(const char* parentPath) {
  size_t used = strlen(parentPath) + 1;  // and the backslash
  return used >= kPathMax - 1 ? 0 : kPathMax - 1 - used;
}

// A text longer than kLicenceShownMax keeps its lines up to that size (or
// exactly that size when its first line is longer) and ends with a note
// that says how much of the file is shown. `text` is terminated and stays
// so; false when memory ran out for the note.
static bool CutLongLicenceText(ByteBuffer* text) {
  size_t length = strlen(text->data());
  if (length <= kLicenceShownMax) return true;
  size_t cut = kLicenceShownMax;
  while (cut > 0 && text->data()[cut - 1] != '\n') --cut;
  if (cut == 0) cut = kLicenceShownMax;
  char shown[12];
  char total[12];
  FormatDecimal(shown, static_cast<long>(cut));
  FormatDecimal(total, static_cast<long>(length));
  char note[96];
  JoinText(note, {"\r\n\r\n(Only the first ", shown, " of ", total,
                  " bytes of this file are shown.)"});
  text->KeepFirst(cut);
  return text->AppendText(note) && text->Append("", 1);
}

bool ReadLicenceText(Effects& effects, const char* path, ByteBuffer* text) {
  text->Clear();
  bool read = path && effects.ReadWholeFile(path, text) == kOk &&
              text->Append("", 1) && CutLongLicenceText(text);
  if (!read) {
    text->Clear();
    text->Append("", 1);
  }
  return read;
}

int CollectSetupTypeRows(const VarStore& vars,
                         SetupTypeRow (&rows)[kSetupTypeRowsMax]) {
  char name[] = "SETUPTYPE0";
  int count = 0;
  for (int n = 0; n < kSetupTypeRowsMax; ++n) {
    name[sizeof name - 2] = static_cast<char>('0' + n);
    const char* text = VarGet(vars, name);
    if (text) rows[count++] = SetupTypeRow{n, text};
  }
  return count;
}

const char* SetupTypeRowText(const VarStore& vars, const char* text) {
  SetupTypeRow rows[kSetupTypeRowsMax];
  int count = CollectSetupTypeRows(vars, rows);
  for (int i = 0; i < count; ++i) {
    if (EqualsNoCase(rows[i].text, text)) return rows[i].text;
  }
  return nullptr;
}
