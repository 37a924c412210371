// Every command of the table, after all binding as setup.exe does it,
// either has a handler or is on the list of those not yet built.
#include "host/command_groups.h"

#include <gtest/gtest.h>

#include <set>

#include "script/engine.h"

TEST(CommandGroups, EveryRowIsBoundOrListedAsNotYetBuilt) {
  Engine engine;
  BindAllCommandGroups(engine);
  std::set<int> notYetBuilt(kCommandsNotYetBuilt,
                            kCommandsNotYetBuilt + kCommandsNotYetBuiltCount);
  EXPECT_EQ(notYetBuilt.size(), static_cast<size_t>(kCommandsNotYetBuiltCount))
      << "a command is listed twice";
  for (int i = 0; i < kCommandTableSize; ++i) {
    const CommandRow& row = kCommandTable[i];
    SCOPED_TRACE(row.keyword);
    bool bound = engine.handlers[row.id] != nullptr;
    EXPECT_NE(bound, notYetBuilt.count(row.id) > 0)
        << (bound ? "bound but listed as not yet built" : "neither bound nor listed");
  }
}
