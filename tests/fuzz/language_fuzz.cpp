// Fuzz target: the language code of any Windows language identifier has a
// name, and the language file chosen for it is a name that fits a path.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "script/language.h"
#include "script/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  unsigned short id = static_cast<unsigned short>(data[0] | (data[1] << 8));
  const char* name = LanguageName(LanguageCodeFor(id));
  if (!name || strlen(name) == 0 || strlen(name) > 40) abort();
  return 0;
}
