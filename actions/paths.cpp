// Path comparisons on full paths.
#include "actions/paths.h"

#include <cstring>

#include "script/effects.h"
#include "script/engine.h"
#include "script/journal.h"
#include "script/text.h"
#include "script/var_store.h"

bool IsDriveRootOrEmpty(const char* path) {
  size_t length = strlen(path);
  auto isSeparator = [](char c) { return c == '\\' || c == '/'; };
  if (length == 0) return true;
  if (length == 1) return isSeparator(path[0]);
  if (path[1] != ':') return false;
  return length == 2 || (length == 3 && isSeparator(path[2]));
}

size_t RootLengthOf(const char* full) {
  char letter = FoldAscii(full[0]);
  if (letter >= 'A' && letter <= 'Z' && full[1] == ':' && full[2] == '\\') return 3;
  if (full[0] != '\\' || full[1] != '\\') return 0;
  if ((full[2] == '?' || full[2] == '.') && full[3] == '\\') return 0;
  const char* share = strchr(full + 2, '\\');
  if (!share || share == full + 2) return 0;
  const char* end = strchr(share + 1, '\\');
  return end ? static_cast<size_t>(end + 1 - full) : strlen(full);
}

bool FullPathOf(Effects& effects, const char* path, char (&full)[kPathMax]) {
  if (effects.GetFullPathName(path, full) != kOk || !full[0]) return false;
  for (char* p = full; *p; ++p) {
    if (*p == '/') *p = '\\';
  }
  size_t length = strlen(full);
  while (length > 3 && full[length - 1] == '\\') full[--length] = 0;
  return true;
}

const char* FileNameOf(const char* path) {
  const char* name = path;
  for (const char* p = path; *p; ++p) {
    if (*p == '\\' || *p == '/') name = p + 1;
  }
  return name;
}

bool IsSamePath(Effects& effects, const char* a, const char* b) {
  char fullA[kPathMax], fullB[kPathMax];
  return FullPathOf(effects, a, fullA) && FullPathOf(effects, b, fullB) &&
         EqualsNoCase(fullA, fullB);
}

bool IsInsideTree(Effects& effects, const char* inner, const char* outer) {
  char fullInner[kPathMax], fullOuter[kPathMax];
  if (!FullPathOf(effects, inner, fullInner) ||
      !FullPathOf(effects, outer, fullOuter)) {
    return false;
  }
  return IsInsideFullTree(fullInner, fullOuter);
}

bool IsInsideFullTree(const char* fullInner, const char* fullOuter) {
  size_t length = strlen(fullOuter);
  if (length == 0 || !StartsWithNoCase(fullInner, fullOuter)) return false;
  char next = fullInner[length];
  return next == 0 || next == '\\' || fullOuter[length - 1] == '\\';
}

const char* InstallDirectory(Engine& engine, const char* variable,
                             const char* subject) {
  const char* value = VarGet(engine.vars, variable);
  if (value && value[0]) return value;
  Journal(engine, "failure", {subject, ": ", variable,
                              value ? " is empty" : " is undefined",
                              "; nothing done"});
  SetFailure(engine);
  return nullptr;
}
