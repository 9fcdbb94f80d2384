#include "platform/display_record.h"

#include <gtest/gtest.h>

#include "fakes/recording_registry.h"

namespace {

const std::string kOpen = "open SOFTWARE\\Corvane\\Corvane Online\\Zindara write -> ok";

TEST(DisplayRecord, WritesChoiceForEachInterface) {
  struct Case {
    std::int32_t graphics_api;
    const char* gfx_api_used;
    bool probe;
  } cases[] = {{0, "1", true},  {1, "9", false}, {2, "0", false}, {3, "10", false},
               {4, "0", false}, {5, "9", false}, {6, "0", false}, {-1, "0", false}};
  for (const Case& c : cases) {
    RecordingRegistry registry;
    registry.add_key(kProductKeyPath);
    bool probed = false;
    EXPECT_TRUE(write_display_record(registry, false, 1024, 768, c.graphics_api, [&](RegistryKey) {
      probed = true;
      registry.calls.push_back("probe");
    }));
    std::vector<std::string> expected = {kOpen, "dword UsingWindowedMode 0",
                                         "string LastScreenSize \"1024x768\" 8"};
    if (c.probe) expected.push_back("probe");
    expected.push_back(std::string("dword GfxApiUsed ") + c.gfx_api_used);
    expected.push_back("close");
    EXPECT_EQ(registry.calls, expected) << c.graphics_api;
    EXPECT_EQ(probed, c.probe);
  }
}

TEST(DisplayRecord, WindowedAndScreenSize) {
  RecordingRegistry registry;
  registry.add_key(kProductKeyPath);
  EXPECT_TRUE(write_display_record(registry, true, 640, 480, 3, [](RegistryKey) {}));
  EXPECT_EQ(registry.calls[1], "dword UsingWindowedMode 1");
  EXPECT_EQ(registry.calls[2], "string LastScreenSize \"640x480\" 7");
}

TEST(DisplayRecord, MissingKeyWritesNothing) {
  RecordingRegistry registry;
  bool probed = false;
  EXPECT_FALSE(
      write_display_record(registry, true, 640, 480, 0, [&](RegistryKey) { probed = true; }));
  EXPECT_EQ(registry.calls, std::vector<std::string>{
                                "open SOFTWARE\\Corvane\\Corvane Online\\Zindara write -> absent"});
  EXPECT_FALSE(probed);
}

}  // namespace
