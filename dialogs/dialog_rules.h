// The text rules of the setup dialogs, free of Windows so that they are
// tested natively: item paths of the directory chooser, new folder names,
// the licence text and the rows of the setup-type list.
#pragma once

#include <cstddef>

#include "script/byte_buffer.h"
#include "script/text.h"

class Effects;
struct VarStore;

// Whether a folder name can be created as typed: not empty, and none of
// the nine characters " * / : < > ? \ |.
bool IsValidDirName(const char* name);

// Joins an item's path from the texts of its chain, the drive's first
// ("c:", "Program Files", "Tools" -> "c:\Program Files\Tools"). False, with
// `path` empty, when it would not fit: such an item is neither listed nor
// confirmable.
bool JoinItemPath(const char* const* texts, size_t count,
                  char (&path)[kPathMax]);

// Only a folder is confirmed: "c:" (a drive) never is.
bool IsConfirmablePath(const char* path);

// How many characters a new folder's name may have under `parentPath`, so
// that "<parentPath>\<name>" fits a path; 0 when nothing fits.
size_t NewFolderNameLimit(const char* parentPath);

// How much of a text file the licence dialog shows: the edit control takes
// far too long to lay out a much larger text.
const size_t kLicenceShownMax = 256 * 1024;

// The licence file's text, terminated: the whole file (true), or its lines
// up to kLicenceShownMax bytes and a note that says how much is shown (true),
// or nothing when it cannot be read (missing, unreadable, no path).
bool ReadLicenceText(Effects& effects, const char* path, ByteBuffer* text);

// The rows of the setup-type list: SETUPTYPE0 .. SETUPTYPE9 that are
// defined, each with its own number, so that a gap never shifts a row onto
// another message.
struct SetupTypeRow {
  int number;
  const char* text;
};
const int kSetupTypeRowsMax = 10;
int CollectSetupTypeRows(const VarStore& vars,
                         SetupTypeRow (&rows)[kSetupTypeRowsMax]);
// The text of the row that reads `text` with ASCII case ignored; null when
// no row does.
const char* SetupTypeRowText(const VarStore& vars, const char* text);

// The mail server the SMTP prompt offers.
const char kOfferedSmtpServer[] = "mail";
