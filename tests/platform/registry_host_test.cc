#include "platform/registry_host.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "support/scratch_dir.h"

namespace {

const char kKey[] = "SOFTWARE\\Corvane\\Corvane Online\\Zindara";

class HostRegistryTest : public ::testing::Test {
 protected:
  std::string path() const { return dir_.file("registry.reg"); }
  ScratchDir dir_;
  HostRegistry registry_{dir_.file("registry.reg")};
};

TEST_F(HostRegistryTest, OpenFailsWithoutTheKey) {
  RegistryKey key;
  struct Case {
    const char* label;
    const char* contents;  // null: no file
  } cases[] = {
      {"no file", nullptr},
      {"empty file", ""},
      {"not a registry file", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane\\Corvane Online\\Zindara]\n"},
      {"other key", "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane]\n"},
      {"other root",
       "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Corvane\\Corvane Online\\Zindara]\n"},
  };
  for (const Case& c : cases) {
    if (c.contents) write_bytes(path(), c.contents);
    EXPECT_FALSE(registry_.open_local_machine_key(kKey, RegistryAccess::kWrite, &key)) << c.label;
    EXPECT_EQ(read_bytes(path()), c.contents ? c.contents : "") << c.label;
  }
  make_dirs(path() + ".d");
  HostRegistry directory(path() + ".d");
  EXPECT_FALSE(directory.open_local_machine_key(kKey, RegistryAccess::kWrite, &key));
}

TEST_F(HostRegistryTest, WritesValuesKeepingEverythingElse) {
  write_bytes(path(),
              "REGEDIT4\n\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Other]\n\"Keep\"=\"me\"\n\n"
              "[hkey_local_machine\\software\\corvane\\corvane online\\zindara]\n"
              "\"gfxapiused\"=dword:00000005\n\"OGLVendor\"=\"old vendor\"\n");
  RegistryKey key;
  ASSERT_TRUE(registry_.open_local_machine_key(kKey, RegistryAccess::kWrite, &key));
  registry_.set_dword_value(key, "UsingWindowedMode", 1);
  registry_.set_string_value(key, "LastScreenSize", "1024x768 and more", 8);
  registry_.set_dword_value(key, "GfxApiUsed", 0xA);
  registry_.set_string_value(key, "Quoted", "a\"b\\c", 5);
  registry_.close_key(key);
  EXPECT_EQ(read_bytes(path()),
            "REGEDIT4\n\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Other]\n\"Keep\"=\"me\"\n\n"
            "[hkey_local_machine\\software\\corvane\\corvane online\\zindara]\n"
            "\"gfxapiused\"=dword:0000000a\n\"OGLVendor\"=\"old vendor\"\n"
            "\"UsingWindowedMode\"=dword:00000001\n\"LastScreenSize\"=\"1024x768\"\n"
            "\"Quoted\"=\"a\\\"b\\\\c\"\n\n");
}

TEST_F(HostRegistryTest, ReadOnlyKeyIsNotWritten) {
  const std::string contents = "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\A]\n";
  write_bytes(path(), contents);
  RegistryKey key;
  ASSERT_TRUE(registry_.open_local_machine_key("a", RegistryAccess::kRead, &key));
  registry_.set_dword_value(key, "X", 1);
  EXPECT_EQ(read_bytes(path()), contents);
}

TEST_F(HostRegistryTest, QueryGivesDataAsTheSystemWould) {
  write_bytes(path(),
              "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\A]\n"
              "\"Text\"=\"C:\\\\cache\"\n\"Number\"=dword:01020304\n\"Raw\"=hex:41,42\n"
              "\"Broken\"=dword:xyz\n");
  RegistryKey key;
  ASSERT_TRUE(registry_.open_local_machine_key("A", RegistryAccess::kRead, &key));
  struct Case {
    const char* name;
    std::uint32_t buffer_size;
    bool ok;
    std::string data;
  } cases[] = {
      {"text", 512, true, std::string("C:\\cache\0", 9)},
      {"Text", 9, true, std::string("C:\\cache\0", 9)},
      {"Text", 8, false, ""},
      {"Number", 4, true, "\x04\x03\x02\x01"},
      {"Raw", 512, true, "AB"},
      {"Broken", 512, false, ""},
      {"Absent", 512, false, ""},
  };
  for (const Case& c : cases) {
    char buffer[512];
    std::uint32_t size = c.buffer_size;
    ASSERT_EQ(registry_.query_value(key, c.name, buffer, &size), c.ok) << c.name;
    if (c.ok) {
      EXPECT_EQ(std::string(buffer, size), c.data) << c.name;
    }
  }
}

}  // namespace
