#include "platform/activex_remover.h"

#include <gtest/gtest.h>

#include <optional>

#include "fakes/recording_control_cache_layer.h"
#include "fakes/recording_registry.h"
#include "support/scratch_dir.h"

namespace {

using Lines = std::vector<std::string>;

const char kSettingsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
const char kClassId[] = "5E1F7A3C-9B24-4D86-A0C3-7F2B91D4E6A8";
const char kBracedClassId[] = "{5E1F7A3C-9B24-4D86-A0C3-7F2B91D4E6A8}";
const char kLockedBox[] =
    "MessageBoxA \"Please close all Internet Explorer browser windows, then press OK to continue "
    "Zindara un-installation.\" \"Zindara Uninstaller\" 0x30";

// The calls that change something or talk to the user, without the searches.
Lines actions(const Lines& calls) {
  Lines result;
  for (const std::string& call : calls) {
    if (call.rfind("Find", 0) != 0) result.push_back(call);
  }
  return result;
}

std::string removal(const std::string& path) {
  return "RemoveControlByName " + path + " " + kBracedClassId + " null 1 1";
}

class ActiveXRemoverTest : public ::testing::Test {
 protected:
  ActiveXRemoverTest() {
    registry_.add_key(kSettingsKey);
    registry_.put_data(kSettingsKey, "ActiveXCache", std::string("C:\\cache\0", 9));
  }

  bool remove() {
    CaptureStderr err;
    const bool removed = ActiveXRemover(registry_, layer_, "zdinst.dll", kClassId);
    stderr_ = err.text();
    return removed;
  }

  RecordingRegistry registry_;
  RecordingControlCacheLayer layer_;
  std::string stderr_;
};

TEST_F(ActiveXRemoverTest, RemovesEveryCopyThenDeletesWhatIsLeft) {
  layer_.add_file("C:\\cache\\zdinst.dll");
  layer_.add_file("C:\\cache\\other.dll");
  layer_.add_file("C:\\cache\\zdinst.inf");
  layer_.add_file("C:\\cache\\sub\\zdinst.dll");
  layer_.add_file("C:\\cache\\sub\\ZDINST_data.bin");
  layer_.kept_by_service = {"C:\\cache\\sub\\zdinst.dll"};

  EXPECT_TRUE(remove());
  EXPECT_EQ(stderr_, "");
  EXPECT_EQ(registry_.calls, (Lines{"open " + std::string(kSettingsKey) + " read -> ok",
                                    "query ActiveXCache 512 -> ok", "close"}));
  EXPECT_EQ(actions(layer_.calls), (Lines{
                                       "LoadLibraryA occache.dll -> ok",
                                       "GetProcAddress RemoveControlByName -> ok",
                                       removal("C:\\cache\\zdinst.dll"),
                                       removal("C:\\cache\\sub\\zdinst.dll"),
                                       "FreeLibrary",
                                       "DeleteFileA C:\\cache\\zdinst.inf -> ok",
                                       "DeleteFileA C:\\cache\\sub\\zdinst.dll -> ok",
                                       "DeleteFileA C:\\cache\\sub\\ZDINST_data.bin -> ok",
                                   }));
  EXPECT_EQ(layer_.files(), Lines{"C:\\cache\\other.dll"});
  EXPECT_EQ(layer_.open_searches(), 0u);
}

TEST_F(ActiveXRemoverTest, WithoutACopyTheServiceIsNotCalledButFilesAreDeleted) {
  layer_.add_file("C:\\cache\\zdinst.inf");
  EXPECT_TRUE(remove());
  EXPECT_EQ(actions(layer_.calls),
            (Lines{"LoadLibraryA occache.dll -> ok", "GetProcAddress RemoveControlByName -> ok",
                   "FreeLibrary", "DeleteFileA C:\\cache\\zdinst.inf -> ok"}));
}

TEST_F(ActiveXRemoverTest, NoCacheOrNoServiceFailsBeforeRemovingAnything) {
  const std::string cache = std::string("C:\\cache\0", 9);
  struct Case {
    const char* what;
    bool key_present;
    std::optional<std::string> cache_data;
    bool library_loads;
    bool entry_point_present;
    Lines layer_calls;
  } cases[] = {
      {"no settings key", false, std::nullopt, true, true, {}},
      {"no cache value", true, std::nullopt, true, true, {}},
      {"cache value longer than 512 bytes", true, std::string(513, 'c'), true, true, {}},
      {"no cache service", true, cache, false, true, {"LoadLibraryA occache.dll -> fail"}},
      {"no removal entry point",
       true,
       cache,
       true,
       false,
       {"LoadLibraryA occache.dll -> ok", "GetProcAddress RemoveControlByName -> missing",
        "FreeLibrary"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    registry_ = RecordingRegistry();
    if (c.key_present) registry_.add_key(kSettingsKey);
    if (c.cache_data) {
      registry_.put_data(kSettingsKey, "ActiveXCache", *c.cache_data);
    }
    layer_ = RecordingControlCacheLayer();
    layer_.add_file("C:\\cache\\zdinst.dll");
    layer_.library_loads = c.library_loads;
    layer_.entry_point_present = c.entry_point_present;

    EXPECT_FALSE(remove());
    EXPECT_EQ(stderr_, "Error uninstalling zdinst.dll!\n");
    EXPECT_EQ(layer_.calls, c.layer_calls);
    EXPECT_EQ(layer_.files(), Lines{"C:\\cache\\zdinst.dll"});
    EXPECT_EQ(registry_.open_count(), 0u);
  }
}

TEST_F(ActiveXRemoverTest, CacheDirectoryIsTheDataUpToItsNulUsedAsStored) {
  struct Case {
    std::string data;
    std::string first_search;
  } cases[] = {
      {std::string("D:\\ie\\cache\0C:\\old", 19), "D:\\ie\\cache\\zdinst.dll"},
      {"D:\\no-nul", "D:\\no-nul\\zdinst.dll"},
      {std::string(512, 'x'), std::string(512, 'x') + "\\zdinst.dll"},
      {std::string("%WINDIR%\\cache\\\0", 16), "%WINDIR%\\cache\\\\zdinst.dll"},
  };
  for (const Case& c : cases) {
    registry_.put_data(kSettingsKey, "ActiveXCache", c.data);
    layer_ = RecordingControlCacheLayer();
    EXPECT_TRUE(remove());
    ASSERT_GE(layer_.calls.size(), 3u);
    EXPECT_EQ(layer_.calls[2], "FindFirstFileA " + c.first_search + " -> none");
  }
}

TEST_F(ActiveXRemoverTest, LockedFilesGetOneBoxAndOneMoreAttemptEach) {
  const std::string a = "C:\\cache\\zdinst.a";
  const std::string b = "C:\\cache\\zdinst.b";
  struct Case {
    std::map<std::string, std::vector<std::uint32_t>> failures;
    Lines deletions;
    Lines left;
  } cases[] = {
      {{{a, {5}}},
       {"DeleteFileA " + a + " -> fail", "GetLastError -> 5", kLockedBox,
        "DeleteFileA " + a + " -> ok", "DeleteFileA " + b + " -> ok"},
       {}},
      {{{a, {32}}, {b, {32, 32}}},
       {"DeleteFileA " + a + " -> fail", "GetLastError -> 32", kLockedBox,
        "DeleteFileA " + a + " -> ok", "DeleteFileA " + b + " -> fail", "GetLastError -> 32",
        kLockedBox, "DeleteFileA " + b + " -> fail"},
       {b}},
      {{{a, {5, 5}}},
       {"DeleteFileA " + a + " -> fail", "GetLastError -> 5", kLockedBox,
        "DeleteFileA " + a + " -> fail", "DeleteFileA " + b + " -> ok"},
       {a}},
      // Other reasons are passed over without a box or another attempt.
      {{{a, {2}}, {b, {1224}}},
       {"DeleteFileA " + a + " -> fail", "GetLastError -> 2", "DeleteFileA " + b + " -> fail",
        "GetLastError -> 1224"},
       {a, b}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.deletions.front());
    layer_ = RecordingControlCacheLayer();
    layer_.add_file(a);
    layer_.add_file(b);
    layer_.delete_failures = c.failures;
    EXPECT_TRUE(remove());
    EXPECT_EQ(stderr_, "");
    const Lines acted = actions(layer_.calls);
    EXPECT_EQ(Lines(acted.begin() + 3, acted.end()), c.deletions);
    EXPECT_EQ(layer_.files(), c.left);
  }
}

// A cache tree with names that test each search rule; enumeration follows
// the order of addition.
class RecursiveFileSearchTest : public ::testing::Test {
 protected:
  RecursiveFileSearchTest() {
    layer_.add_file("C:\\c\\b.txt");
    layer_.add_file("C:\\c\\a.txt");
    layer_.add_file("C:\\c\\.hidden.txt");
    layer_.add_file("C:\\c\\dir.txt\\inner.txt");
    layer_.add_file("C:\\c\\.git\\config.txt");
    layer_.add_file("C:\\c\\plain\\deeper\\deep.txt");
    layer_.add_file("C:\\c\\sub\\w.txt");
    layer_.add_file("C:\\c\\sub\\w.dat");
    layer_.add_file("C:\\c\\sub\\inner\\v.txt");
    layer_.add_file("C:\\c\\sub\\inner\\w.txt");
  }

  Lines search(const std::string& directory, const std::string& pattern) {
    Lines list = {"kept"};
    RecursiveFileSearch(layer_, directory, pattern, list);
    EXPECT_EQ(layer_.open_searches(), 0u);
    return Lines(list.begin() + 1, list.end());
  }

  RecordingControlCacheLayer layer_;
};

TEST_F(RecursiveFileSearchTest, OwnMatchesFirstThenSubdirectoriesDepthFirst) {
  struct Case {
    std::string directory;
    std::string pattern;
    Lines found;
  } cases[] = {
      // "dir.txt" matches but is a directory: not listed, yet descended as one;
      // "plain" holds no match, so "deeper" below it is never searched.
      {"C:\\c",
       "*.txt",
       {"C:\\c\\b.txt", "C:\\c\\a.txt", "C:\\c\\dir.txt\\inner.txt", "C:\\c\\sub\\w.txt",
        "C:\\c\\sub\\inner\\v.txt", "C:\\c\\sub\\inner\\w.txt"}},
      {"C:\\c\\sub", "w*", {"C:\\c\\sub\\w.txt", "C:\\c\\sub\\w.dat", "C:\\c\\sub\\inner\\w.txt"}},
      // The top directory holds no w.txt, so its subdirectories are not searched.
      {"C:\\c", "w.txt", {}},
      {"C:\\c",
       "*",
       {"C:\\c\\b.txt", "C:\\c\\a.txt", "C:\\c\\dir.txt\\inner.txt",
        "C:\\c\\plain\\deeper\\deep.txt", "C:\\c\\sub\\w.txt", "C:\\c\\sub\\w.dat",
        "C:\\c\\sub\\inner\\v.txt", "C:\\c\\sub\\inner\\w.txt"}},
      {"%CACHE%", "*", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.directory + "\\" + c.pattern);
    EXPECT_EQ(search(c.directory, c.pattern), c.found);
  }
}

TEST_F(RecursiveFileSearchTest, DotNamesAreNeverSearched) {
  search("C:\\c", "*");
  for (const std::string& call : layer_.calls) {
    EXPECT_EQ(call.find("FindFirstFileA C:\\c\\."), std::string::npos) << call;
  }
}

}  // namespace
