// The registry layer against the machine's registry, in a key of the test's
// own below HKEY_LOCAL_MACHINE\Software that each test creates and removes.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/registry.h"

namespace {

const char kTestKey[] = "Software\\PrefgenUnitTest";

class Win32RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }
  void TearDown() override { RegDeleteKeyA(HKEY_LOCAL_MACHINE, kTestKey); }

  // The value's type and data as the system hands them out; type 0 when absent.
  std::pair<DWORD, std::string> stored(const char* name) {
    char data[64];
    DWORD type = 0, size = sizeof data;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, kTestKey, name, RRF_RT_ANY | RRF_NOEXPAND, &type, data,
                     &size) != ERROR_SUCCESS) {
      return {0, ""};
    }
    return {type, std::string(data, size)};
  }

  std::unique_ptr<Registry> registry_ = make_system_registry();
};

TEST_F(Win32RegistryTest, StoresDwordsAndTextsWithTheirTypes) {
  RegistryKey key;
  ASSERT_TRUE(registry_->open_local_machine_key(kTestKey, RegistryAccess::kWrite, &key));
  registry_->set_dword_value(key, "Number", 0x0A0B0C0D);
  // The byte count, not the NUL, ends the text.
  registry_->set_string_value(key, "Text", "640x480 and more", 7);
  registry_->close_key(key);

  EXPECT_EQ(stored("Number"), std::make_pair(DWORD{REG_DWORD}, std::string("\x0D\x0C\x0B\x0A")));
  const auto text = stored("Text");
  EXPECT_EQ(text.first, DWORD{REG_SZ});
  EXPECT_EQ(text.second.substr(0, text.second.find('\0')), "640x480");
}

TEST_F(Win32RegistryTest, QueryCopiesDataThatFits) {
  RegistryKey key;
  ASSERT_TRUE(registry_->open_local_machine_key(kTestKey, RegistryAccess::kWrite, &key));
  registry_->set_string_value(key, "Cache", "C:\\cache", 8);
  registry_->close_key(key);

  ASSERT_TRUE(registry_->open_local_machine_key(kTestKey, RegistryAccess::kRead, &key));
  char buffer[512];
  std::uint32_t size = sizeof buffer;
  ASSERT_TRUE(registry_->query_value(key, "Cache", buffer, &size));
  // Eight bytes, and the NUL the system may add.
  EXPECT_EQ(std::string(buffer, size).substr(0, std::string(buffer, size).find('\0')), "C:\\cache");

  size = 4;
  EXPECT_FALSE(registry_->query_value(key, "Cache", buffer, &size));
  size = sizeof buffer;
  EXPECT_FALSE(registry_->query_value(key, "Absent", buffer, &size));
  registry_->close_key(key);
}

TEST_F(Win32RegistryTest, OpeningNeverCreatesAKeyAndReadAccessCannotWrite) {
  RegistryKey key;
  EXPECT_FALSE(registry_->open_local_machine_key("Software\\PrefgenUnitTest\\Absent",
                                                 RegistryAccess::kWrite, &key));
  HKEY absent;
  EXPECT_NE(
      RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\PrefgenUnitTest\\Absent", 0, KEY_READ, &absent),
      ERROR_SUCCESS);

  ASSERT_TRUE(registry_->open_local_machine_key(kTestKey, RegistryAccess::kRead, &key));
  registry_->set_dword_value(key, "Number", 1);
  registry_->close_key(key);
  EXPECT_EQ(stored("Number").first, 0u);
}

}  // namespace
