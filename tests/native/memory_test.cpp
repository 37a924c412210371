// The out-of-memory paths, through the allocation seam: the store behaves as
// when full and keeps what it had, the command line is refused whole.
#include "script/memory.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "script/command_line.h"
#include "script/var_store.h"

namespace {

// Lets `g_allowed` more allocations succeed, then fails every one.
int g_allowed = 0;
void* CountdownRealloc(void* block, size_t size) {
  if (g_allowed <= 0) return nullptr;
  --g_allowed;
  return realloc(block, size);
}

class OutOfMemory : public ::testing::Test {
 protected:
  void FailAfter(int allocations) {
    g_allowed = allocations;
    SetReallocFunction(CountdownRealloc);
  }
  void TearDown() override { SetReallocFunction(nullptr); }
};

TEST_F(OutOfMemory, StoreTreatsEveryFailedStepAsFull) {
  VarStore store;
  VarSet(store, "KEPT", "1");
  // The steps of a new name: copy of name, copy of value, name block,
  // value block. Whichever fails, the call returns -1 and the variable does
  // not exist; the others are untouched.
  for (int allowed = 0; allowed < 4; ++allowed) {
    SCOPED_TRACE(allowed);
    FailAfter(allowed);
    EXPECT_EQ(VarSet(store, "NEW", "value"), -1);
    SetReallocFunction(nullptr);
    EXPECT_EQ(VarGet(store, "NEW"), nullptr);
    EXPECT_STREQ(VarGet(store, "KEPT"), "1");
  }
  EXPECT_EQ(VarSet(store, "NEW", "value"), 1);  // the slot is free again
}

TEST_F(OutOfMemory, UpdateThatFailsRemovesTheVariable) {
  VarStore store;
  VarSet(store, "A", "short");
  FailAfter(0);
  EXPECT_EQ(VarSet(store, "A", "a much longer value"), -1);
  SetReallocFunction(nullptr);
  EXPECT_EQ(VarGet(store, "A"), nullptr);
}

TEST_F(OutOfMemory, CommandLineIsRefusedWhole) {
  RunModes modes;
  FailAfter(0);
  EXPECT_FALSE(ParseCommandLineCopy("/SILENT C:\\\\dir", modes));
  EXPECT_FALSE(modes.silent);
  EXPECT_STREQ(modes.commandLineDir, "");
  SetReallocFunction(nullptr);
  const char text[] = "/SILENT C:\\\\dir";
  EXPECT_TRUE(ParseCommandLineCopy(text, modes));
  EXPECT_TRUE(modes.silent);
  EXPECT_STREQ(modes.commandLineDir, "C:\\dir");
  EXPECT_STREQ(text, "/SILENT C:\\\\dir");  // the caller's text is kept
}

}  // namespace
