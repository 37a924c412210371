// Variable store: capacity, holes, case-insensitive names, owned copies.
#include "script/var_store.h"

#include <gtest/gtest.h>

#include <string>

TEST(VarStore, HoldsExactly400NamesAndStillUpdatesWhenFull) {
  VarStore store;
  for (int i = 0; i < kVarSlots; ++i) {
    ASSERT_EQ(VarSet(store, ("V" + std::to_string(i)).c_str(), "x"), i);
  }
  EXPECT_EQ(VarSet(store, "ONEMORE", "x"), -1);
  EXPECT_EQ(VarGet(store, "ONEMORE"), nullptr);
  EXPECT_EQ(VarSet(store, "v399", "updated"), 399);
  EXPECT_STREQ(VarGet(store, "V399"), "updated");
}

TEST(VarStore, RemovedSlotIsReusedFirst) {
  VarStore store;
  for (int i = 0; i < 10; ++i) VarSet(store, ("N" + std::to_string(i)).c_str(), "v");
  VarRemove(store, "n5");
  EXPECT_EQ(VarFind(store, "N5"), -1);
  EXPECT_EQ(VarSet(store, "NEW", "v"), 5);
  VarRemove(store, "NOSUCH");  // no effect
  EXPECT_EQ(VarFind(store, "N9"), 9);
}

TEST(VarStore, NamesIgnoreCaseAndTheLastSpellingIsKept) {
  VarStore store;
  VarSet(store, "DSTDIR", "C:\\a");
  EXPECT_EQ(VarSet(store, "dstdir", "C:\\b"), 0);
  EXPECT_STREQ(VarGet(store, "DstDir"), "C:\\b");
  EXPECT_STREQ(store.slots[0].name, "dstdir");
}

TEST(VarStore, ValuesAreCopiesAndEmptyIsNotMissing) {
  VarStore store;
  char source[] = "abc";
  VarSet(store, "B", source);
  VarSet(store, "A", VarGet(store, "B"));
  VarSet(store, "B", "changed");
  source[0] = 'z';
  EXPECT_STREQ(VarGet(store, "A"), "abc");
  VarSet(store, "EMPTY", "");
  ASSERT_NE(VarGet(store, "EMPTY"), nullptr);
  EXPECT_STREQ(VarGet(store, "EMPTY"), "");
  EXPECT_EQ(VarGet(store, "MISSING"), nullptr);
}

TEST(VarStore, SettingAVariableFromItsOwnValueOrNameIsSafe) {
  VarStore store;
  VarSet(store, "SELF", "value");
  VarSet(store, "SELF", VarGet(store, "SELF"));
  EXPECT_STREQ(VarGet(store, "SELF"), "value");
  VarSet(store, store.slots[0].name, std::string(5000, 'y').c_str());
  EXPECT_EQ(strlen(VarGet(store, "SELF")), 5000u);
}

TEST(VarStore, ClearAllEmptiesEverySlot) {
  VarStore store;
  VarSet(store, "A", "1");
  VarSet(store, "B", "2");
  VarClearAll(store);
  EXPECT_EQ(VarFind(store, "A"), -1);
  EXPECT_EQ(VarSet(store, "C", "3"), 0);
}
