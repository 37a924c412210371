// ImportOldVorn, IsVornUpdated, AddPartition and GetVornSettings. The
// user's zek.ini is never lost: it is replaced in one atomic move of a
// checked temporary file, or left byte for byte as it was.
#include "actions/file_transfer.h"
#include "runtimecfg/config_files.h"
#include "runtimecfg/fresh_import.h"
#include "runtimecfg/plugin_merge.h"
#include "runtimecfg/runtime_config.h"
#include "runtimecfg/vorn_lines.h"
#include "script/errors.h"
#include "script/language.h"
#include "script/messages.h"
#include "script/var_store.h"

static FileText TextOf(const ByteBuffer& buffer) {
  return FileText{buffer.data(), buffer.size()};
}

// A helper file of a fresh import; missing (or unreadable) as none.
static FileText ReadOptional(Engine& engine, const char* name,
                             ByteBuffer& buffer) {
  char path[kPathMax];
  if (!ConfigPath(engine, "DSTDIR", name, path) ||
      ReadIfPresent(engine, path, &buffer) != ConfigRead::kRead) {
    return FileText{nullptr, 0};
  }
  return TextOf(buffer);
}

// Copies the shipped zek.ini into place and adds the disk and plug-in
// lines. A copy that failed has been reported; nothing is added then, so
// no stub zek.ini is left for a later run to take as installed.
// The copy is the run's own: a zek.ini that could not be completed goes,
// and an empty one that was there before is put back.
static void UndoFreshCopy(Engine& engine, const char* installed,
                          bool emptyBefore) {
  if (emptyBefore) {
    engine.effects->WriteNewFile(installed, "", 0);
  } else {
    engine.effects->DeleteFile(installed);
  }
}

static void FreshImport(Engine& engine, const char* shipped,
                        const char* installed) {
  unsigned long attributes = 0;
  bool emptyBefore = engine.effects->GetFileAttributes(installed, &attributes) == kOk;
  if (!CopyOneFile(engine, shipped, installed)) return;
  ByteBuffer copied, zekpack, zekdll, lines;
  if (engine.effects->ReadWholeFile(installed, &copied) != kOk ||
      !AppendFreshImportLines(TextOf(copied),
                              ReadOptional(engine, "zekpack.ini", zekpack),
                              ReadOptional(engine, "zekdll.ini", zekdll),
                              lines) ||
      engine.effects->AppendToFile(installed, lines.data(), lines.size()) !=
          kOk) {
    SetFailure(engine);
    UndoFreshCopy(engine, installed, emptyBefore);
  }
}

// The merge goes to newzek.ini, the vorn/update rewrite of what was
// written there to zektemp.ini, and zektemp.ini replaces zek.ini.
struct UpgradeFiles {
  char merged[kPathMax];
  char rewritten[kPathMax];
};

static bool MergeAndRewrite(Engine& engine, const UpgradeFiles& files,
                            const char* shipped, const ByteBuffer& installed,
                            const char* vornValue, const char* updateValue,
                            bool* mergedWritten) {
  ByteBuffer shippedText;
  bool haveShipped =
      engine.effects->ReadWholeFile(shipped, &shippedText) == kOk &&
      CheckConfigText(engine, shipped, shippedText);
  if (!haveShipped) SetFailure(engine);  // every installed plug-in stays
  ByteBuffer merged;
  if (!MergePluginLines(TextOf(installed),
                        haveShipped ? TextOf(shippedText) : FileText{nullptr, 0},
                        merged) ||
      !WriteTemporaryFile(engine, files.merged, merged)) {
    return false;
  }
  *mergedWritten = true;
  ByteBuffer mergedBack, rewritten;
  return engine.effects->ReadWholeFile(files.merged, &mergedBack) == kOk &&
         RewriteVornLines(TextOf(mergedBack), vornValue, updateValue,
                          rewritten) &&
         WriteTemporaryFile(engine, files.rewritten, rewritten);
}

static void UpgradeImport(Engine& engine, const char* shipped,
                          const char* installed, const ByteBuffer& current,
                          const char* vornValue, const char* updateValue) {
  if (!vornValue || !updateValue) {
    ReportConfigFailure(engine, installed,
                        "vorn or update value undefined; left as it was");
    return;
  }
  UpgradeFiles files;
  if (!ConfigPath(engine, "DSTDIR", "newzek.ini", files.merged) ||
      !ConfigPath(engine, "DSTDIR", "zektemp.ini", files.rewritten)) {
    return;
  }
  bool mergedWritten = false;
  bool replaced = MergeAndRewrite(engine, files, shipped, current, vornValue,
                                  updateValue, &mergedWritten) &&
                  ReplaceWithTemporary(engine, files.rewritten, installed);
  if (mergedWritten && engine.effects->DeleteFile(files.merged) != kOk) {
    SetFailure(engine);  // left behind in the product's folder
  }
  if (!replaced) {
    if (mergedWritten) RemoveTemporaryFile(engine, files.rewritten);
    SetFailure(engine);
  }
}

// An installed zek.ini with content is upgraded; an absent or empty one
// gets a fresh import; one that exists but cannot be read, or is not
// text, is left alone.
static void CmdImportOldVorn(Engine& engine, const Statement& st) {
  char shipped[kPathMax], installed[kPathMax];
  if (!ConfigPath(engine, "SRCDIR", "zek.ini", shipped) ||
      !ConfigPath(engine, "DSTDIR", "zek.ini", installed)) {
    return;
  }
  ByteBuffer current;
  ConfigRead read = ReadIfPresent(engine, installed, &current);
  if (read == ConfigRead::kFailed) {
    SetFailure(engine);
  } else if (read == ConfigRead::kMissing || current.size() == 0) {
    FreshImport(engine, shipped, installed);
  } else if (CheckConfigText(engine, installed, current)) {
    UpgradeImport(engine, shipped, installed, current, st.value1, st.value2);
  }
}

static void CmdIsVornUpdated(Engine& engine, const Statement& st) {
  engine.flags.condition = 0;
  char installed[kPathMax];
  if (engine.flags.failure || !st.value1 ||
      !ConfigPath(engine, "DSTDIR", "zek.ini", installed)) {
    return;
  }
  ByteBuffer contents;
  if (ReadIfPresent(engine, installed, &contents) != ConfigRead::kRead) return;
  engine.flags.condition =
      UpdateLineAllows(contents.data(), contents.size(), st.value1) ? 1 : 0;
}

static void ShowOpenError(Engine& engine, const char* path) {
  ShowMsgBox(engine, kBoxOk, Message(engine, "ERROR_OPEN_TTL"),
             Message(engine, "ERROR_OPEN_MSG"), {path});
}

// Appends "disk <directory>\part2\ 0" to the installed zek.ini.
static void CmdAddPartition(Engine& engine, const Statement& st) {
  char path[kPathMax];
  if (!ConfigPath(engine, "DSTDIR", "Zek.ini", path)) return;
  if (!st.value1) {
    ReportConfigFailure(engine, path,
                        "partition directory undefined; nothing written");
    return;
  }
  ByteBuffer line;
  if (!line.AppendText("disk ") || !line.AppendText(st.value1) ||
      !line.AppendText("\\part2\\ 0\n") || !line.Append("", 1)) {
    SetFailure(engine);
    return;
  }
  if (!AppendLinesToFile(engine, path, line.data(), ReadOnlyFile::kIsCleared)) {
    ShowOpenError(engine, path);
  }
}

// Appends the user's language and "Registering Yes" to zekress.ini.
static void CmdGetVornSettings(Engine& engine, const Statement& st) {
  char path[kPathMax];
  ByteBuffer lines;
  if (!ConfigPath(engine, "DSTDIR", "zekress.ini", path) ||
      !lines.AppendText("DefaultLanguage ") ||
      !lines.AppendText(LanguageName(engine.languageCode)) ||
      !lines.AppendText("\nRegistering Yes\n") || !lines.Append("", 1)) {
    engine.flags.condition = 0;
    SetFailure(engine);
    return;
  }
  if (AppendLinesToFile(engine, path, lines.data(), ReadOnlyFile::kFails)) {
    engine.flags.condition = 1;
    return;
  }
  engine.flags.condition = 0;
  ShowOpenError(engine, path);
  ShowMsgBox(engine, kBoxOk, VarGet(engine.vars, "SETUPNAME"),
             Message(engine, "ABORT_MSG"));
  engine.host->DismissDialog(st.owner);
  SetFailure(engine);
  engine.flags.stop = 1;
}

void BindRuntimeConfigCommands(Engine& engine) {
  static const CommandBinding kBindings[] = {
      {kCmdAddPartition, CmdAddPartition},
      {kCmdGetVornSettings, CmdGetVornSettings},
      {kCmdIsVornUpdated, CmdIsVornUpdated},
      {kCmdImportOldVorn, CmdImportOldVorn},
  };
  BindCommands(engine, kBindings);
}
