#include "settings/search_path.h"

#include <gtest/gtest.h>

#include "support/scratch_dir.h"

namespace {

TEST(SplitWords, TakesTheFirstTokenOfEachPiece) {
  struct Case {
    const char* text;
    const char* separators;
    std::vector<std::string> words;
  } cases[] = {
      {"a;b", ";", {"a", "b"}},
      {";a", ";", {"", "a"}},
      {"a;;b", ";", {"a", "", "b"}},
      {"a;", ";", {"a"}},
      {"", ";", {}},
      {" configpath=A B;x", ";", {"configpath=A", "x"}},
      {"\t\v \n;y", ";", {"", "y"}},
      {"a,b;c", ";,", {"a", "b", "c"}},
  };
  for (const Case& c : cases) EXPECT_EQ(split_words(c.text, c.separators), c.words) << c.text;
}

TEST(TrimWhitespace, RemovesTheTrimSetFromBothEnds) {
  struct Case {
    const char* text;
    const char* trimmed;
  } cases[] = {
      {" \t/a /b\r\n\f", "/a /b"}, {"   ", ""}, {"", ""}, {"\v/a\v", "\v/a\v"},  // no vertical tab
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    trim_whitespace(text);
    EXPECT_EQ(text, c.trimmed);
  }
}

struct PathCase {
  const char* label;
  std::vector<std::pair<const char*, const char*>> variables;
  const char* path;
};

void PrintTo(const PathCase& c, std::ostream* out) { *out << c.label; }

class SearchPathTest : public ::testing::TestWithParam<PathCase> {
 protected:
  SearchPathTest() {
    for (const char* name : {"CONFIG_CONFIG", "CONFIG_PATH", "A", "B"}) env_.unset(name);
    forget_config_search_path();
  }
  ~SearchPathTest() override { forget_config_search_path(); }
  ScopedEnv env_;
};

TEST_P(SearchPathTest, ComputesPathFromEnvironment) {
  for (const auto& [name, value] : GetParam().variables) env_.set(name, value);
  EXPECT_EQ(get_config_search_path(), GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SearchPathTest,
    ::testing::Values(
        PathCase{"nothing set", {}, "."},
        PathCase{"CONFIG_PATH trimmed", {{"CONFIG_PATH", " /a /b "}}, "/a /b"},
        PathCase{"one-character CONFIG_CONFIG ignored",
                 {{"CONFIG_CONFIG", ";"}, {"CONFIG_PATH", "/p"}},
                 "/p"},
        PathCase{"two directives",
                 {{"CONFIG_CONFIG", ";configpath=A;configpath=B"}, {"A", "/a"}, {"B", "/b"}},
                 "/a /b"},
        PathCase{"only the second set",
                 {{"CONFIG_CONFIG", ";configpath=A;configpath=B"}, {"B", "/b"}},
                 "/b"},
        PathCase{"neither set",
                 {{"CONFIG_CONFIG", ";configpath=A;configpath=B"}, {"CONFIG_PATH", "/p"}},
                 "."},
        PathCase{"one-character word adds a separator",
                 {{"CONFIG_CONFIG", ";#;configpath#A"}, {"A", "/a"}, {"CONFIG_PATH", "/p"}},
                 "/a"},
        PathCase{"separator added too late",
                 {{"CONFIG_CONFIG", ";configpath#A;#"}, {"A", "/a"}, {"CONFIG_PATH", "/p"}},
                 "/p"},
        PathCase{"first character separates words",
                 {{"CONFIG_CONFIG", "configpath=A"}, {"A", "/a"}, {"CONFIG_PATH", "/p"}},
                 "/p"},
        PathCase{"leading blank skipped, rest of piece dropped",
                 {{"CONFIG_CONFIG", "; configpath=A B"}, {"A", "/a"}, {"B", "/b"}},
                 "/a"},
        PathCase{"name is case sensitive",
                 {{"CONFIG_CONFIG", ";ConfigPath=A"}, {"A", "/a"}, {"CONFIG_PATH", "/p"}},
                 "/p"},
        PathCase{"blank variable gives an empty path", {{"CONFIG_PATH", "  "}}, ""},
        PathCase{"empty directive values", {{"CONFIG_CONFIG", ";configpath="}}, "."},
        PathCase{"value keeps a further separator",
                 {{"CONFIG_CONFIG", ";configpath=A=B"}, {"A", "/a"}},
                 "."}),
    [](const ::testing::TestParamInfo<PathCase>& info) {
      std::string name = info.param.label;
      for (char& c : name) {
        if (!isalnum(static_cast<unsigned char>(c))) c = '_';
      }
      return name;
    });

TEST(SearchPathCache, KeepsTheFirstNonEmptyResult) {
  ScopedEnv env;
  env.unset("CONFIG_CONFIG");
  env.set("CONFIG_PATH", " ");
  forget_config_search_path();
  EXPECT_EQ(get_config_search_path(), "");
  env.set("CONFIG_PATH", "/first");
  EXPECT_EQ(get_config_search_path(), "/first");  // an empty result was not kept
  env.set("CONFIG_PATH", "/second");
  EXPECT_EQ(get_config_search_path(), "/first");
  forget_config_search_path();
}

}  // namespace
