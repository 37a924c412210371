// The install-state record against the real registry of the test prefix:
// the bytes and types Windows stores (the record's rules are tested
// natively).
#include "script/install_state.h"

#include <gtest/gtest.h>

#include "tests/win/registry_fixture.h"
#include "win32/win32_effects.h"

TEST(InstallState, FlagsAreOneByteAndVersionsWholeStrings) {
  DeleteRegistryTree(HKEY_LOCAL_MACHINE, kInstallStateKey);
  Win32Effects effects;
  ArmInstallState(effects);
  std::string marker;
  ASSERT_TRUE(ReadRegistryValue(HKEY_LOCAL_MACHINE, kInstallStateKey,
                                "InstallFailled", &marker));
  EXPECT_EQ(marker.substr(0, 1), "1");
  EXPECT_LE(marker.size(), 2u);  // one byte written, no NUL
  RecordInstallSuccess(effects, "4.12");
  std::string success, ie;
  DWORD type = 0;
  ASSERT_TRUE(ReadRegistryValue(HKEY_LOCAL_MACHINE, kInstallStateKey, "Success",
                                &success));
  ASSERT_TRUE(ReadRegistryValue(HKEY_LOCAL_MACHINE, kInstallStateKey, "IE",
                                &ie, &type));
  EXPECT_EQ(success.substr(0, 1), "1");
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(ie, std::string("4.12", 5));
  EXPECT_FALSE(ReadRegistryValue(HKEY_LOCAL_MACHINE, kInstallStateKey,
                                 "InstallFailled", &marker));
  DeleteRegistryTree(HKEY_LOCAL_MACHINE, kInstallStateKey);
}
