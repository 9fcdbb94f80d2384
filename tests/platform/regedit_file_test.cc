#include "platform/regedit_file.h"

#include <gtest/gtest.h>

namespace {

TEST(RegeditFile, ReadsAndWritesBackWithoutLoss) {
  const std::string text =
      "REGEDIT4\r\n"
      "\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\A]\r\n"
      "\"Name\"=dword:0000000a\r\n"
      "; a comment\r\n"
      "@=\"default\"\r\n"
      "\"Bin\"=hex:01,02,\\\r\n"
      "  03\r\n"
      "\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\B]\r\n"
      "\"Quote \\\" and \\\\\"=\"C:\\\\dir \\\"x\\\"\"\r\n";
  RegeditFile file;
  ASSERT_TRUE(parse_regedit(text, file));
  RegeditFile::Section* a = file.find_section("hkey_local_machine\\software\\a");
  ASSERT_NE(a, nullptr);
  ASSERT_EQ(a->lines.size(), 4u);
  EXPECT_TRUE(a->lines[0].is_value);
  EXPECT_EQ(a->lines[0].text, "dword:0000000a");
  EXPECT_FALSE(a->lines[1].is_value);
  EXPECT_TRUE(a->lines[2].is_value);
  EXPECT_EQ(a->lines[2].name, "");
  EXPECT_EQ(a->lines[3].text, "hex:01,02,\\\n  03");
  RegeditFile::Section* b = file.find_section("HKEY_LOCAL_MACHINE\\SOFTWARE\\B");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->lines[0].name, "Quote \" and \\");

  RegeditFile again;
  ASSERT_TRUE(parse_regedit(format_regedit(file), again));
  EXPECT_EQ(format_regedit(again), format_regedit(file));
  EXPECT_EQ(again.find_section("HKEY_LOCAL_MACHINE\\SOFTWARE\\B")->lines[0].text,
            "\"C:\\\\dir \\\"x\\\"\"");
}

TEST(RegeditFile, RejectsOtherFormats) {
  RegeditFile file;
  for (const char* text : {"", "Windows Registry Editor Version 5.00\n", "regedit4\n", "garbage"}) {
    EXPECT_FALSE(parse_regedit(text, file)) << text;
  }
  EXPECT_EQ(file.find_section(""), nullptr);
}

TEST(RegeditFile, QuotedStringsRoundTrip) {
  for (const std::string& text :
       {std::string("plain"), std::string("a\\b\"c"), std::string("line\nend\r"),
        std::string("nul\0inside", 10), std::string("")}) {
    const std::string quoted = quote_regedit_string(text);
    EXPECT_EQ(quoted.find('\n'), std::string::npos);
    std::size_t pos = 0;
    std::string back;
    ASSERT_TRUE(unquote_regedit_string(quoted + "=rest", pos, back));
    EXPECT_EQ(back, text);
    EXPECT_EQ(pos, quoted.size());
  }
  std::size_t pos = 0;
  std::string back;
  EXPECT_FALSE(unquote_regedit_string("\"unterminated", pos, back));
  EXPECT_FALSE(unquote_regedit_string("\"ends in escape\\", pos, back));
}

}  // namespace

namespace {

// Texts whose line structure is easy to lose when written back.
TEST(RegeditFile, WritesBackTrickyLinesUnchanged) {
  const char* texts[] = {
      "REGEDIT4\n\n[K]\n; ends in a backslash \\\n\n\"after\"=\"blank\"\n",
      "REGEDIT4\n\n[K]\n\"a\"=hex:01,\\\n  02\n\"b\"=dword:00000001\n",
      "REGEDIT4\r\n\r\n[K]\r\n\"cr\"=\"x\"\r\r\n",
      "REGEDIT4\n\n[K]\n[]\n\"v\"=\"w\"\n",
      "REGEDIT4\n\nbefore any key \\\n\n[K]\n",
  };
  for (const char* text : texts) {
    RegeditFile file;
    ASSERT_TRUE(parse_regedit(text, file)) << text;
    const std::string written = format_regedit(file);
    RegeditFile again;
    ASSERT_TRUE(parse_regedit(written, again));
    EXPECT_EQ(format_regedit(again), written) << text;
    ASSERT_NE(again.find_section("K"), nullptr) << text;
    EXPECT_EQ(again.find_section("K")->lines.size(), file.find_section("K")->lines.size()) << text;
  }
}

}  // namespace
