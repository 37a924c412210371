// Every command of the table has a handler after all binding, as setup.exe
// does it.
#include "host/command_groups.h"

#include <gtest/gtest.h>

#include "script/engine.h"

TEST(CommandGroups, EveryRowIsBound) {
  Engine engine;
  BindAllCommandGroups(engine);
  for (int i = 0; i < kCommandTableSize; ++i) {
    const CommandRow& row = kCommandTable[i];
    EXPECT_NE(engine.handlers[row.id], nullptr) << row.keyword;
  }
}
