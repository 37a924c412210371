// The install-state record against the real registry of the test prefix.
#include "host/install_state.h"

#include <gtest/gtest.h>

#include "tests/win/registry_fixture.h"
#include "win32/win32_effects.h"

class InstallState : public ::testing::Test {
 protected:
  void SetUp() override { DeleteRegistryTree(HKEY_LOCAL_MACHINE, kInstallStateKey); }
  void TearDown() override { DeleteRegistryTree(HKEY_LOCAL_MACHINE, kInstallStateKey); }
  bool Has(const char* name) {
    std::string bytes;
    return ReadRegistryValue(HKEY_LOCAL_MACHINE, kInstallStateKey, name, &bytes);
  }
  Win32Effects fx_;
  std::string Value(const char* name) {
    std::string bytes;
    ReadRegistryValue(HKEY_LOCAL_MACHINE, kInstallStateKey, name, &bytes);
    return bytes;
  }
};

TEST_F(InstallState, ArmingReportsTheMarkerOfTheRunBefore) {
  EXPECT_EQ(ArmInstallState(fx_), 0);
  EXPECT_TRUE(Has("InstallFailled"));
  EXPECT_EQ(Value("Success").substr(0, 1), "0");
  EXPECT_EQ(ArmInstallState(fx_), 1);  // the first run never ended
  ClearFailureMarker(fx_);
  EXPECT_FALSE(Has("InstallFailled"));
  EXPECT_EQ(ArmInstallState(fx_), 0);
}

TEST_F(InstallState, SuccessRemovesTheMarkerAndStoresWholeStrings) {
  ArmInstallState(fx_);
  RecordInstallSuccess(fx_, "4.12");
  EXPECT_FALSE(Has("InstallFailled"));
  EXPECT_EQ(Value("Success").substr(0, 1), "1");
  DWORD type = 0;
  std::string ie;
  ASSERT_TRUE(ReadRegistryValue(HKEY_LOCAL_MACHINE, kInstallStateKey, "IE",
                                &ie, &type));
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(ie, std::string("4.12", 5));
  EXPECT_EQ(Value("Netscape"), std::string("4.12", 5));
  RecordInstallSuccess(fx_, "");
  EXPECT_EQ(Value("IE"), std::string("", 1));
}

TEST_F(InstallState, OneByteFlagsAreStoredWithoutTheirNul) {
  ArmInstallState(fx_);
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kInstallStateKey, 0, KEY_READ,
                          &key), ERROR_SUCCESS);
  char data[8];
  DWORD size = sizeof data;
  ASSERT_EQ(RegQueryValueExA(key, "InstallFailled", nullptr, nullptr,
                             reinterpret_cast<BYTE*>(data), &size),
            ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(data[0], '1');
  EXPECT_LE(size, 2u);
}
