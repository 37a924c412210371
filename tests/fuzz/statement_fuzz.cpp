// Fuzz target: the statement parser on any line, with a few variables.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "script/statement.h"
#include "script/text.h"
#include "script/var_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static VarStore* vars = [] {
    auto* store = new VarStore;
    VarSet(*store, "DSTDIR", "C:\\vorn");
    VarSet(*store, "", "empty name");
    return store;
  }();
  char line[kLineMax];
  size_t length = size < kLineMax - 1 ? size : kLineMax - 1;
  memcpy(line, data, length);
  line[length] = 0;
  char* start = SkipBlanks(line);
  if (*start == 0 || *start == ';') return 0;
  Statement st;
  if (ParseStatement(start, *vars, nullptr, &st)) {
    if (st.value1) (void)strlen(st.value1);
    if (st.value2) (void)strlen(st.value2);
  }
  return 0;
}
