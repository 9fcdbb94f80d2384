#include <gtest/gtest.h>

#include <set>

#include "platform/activex_remover.h"
#include "platform/control_cache_layer.h"
#include "support/scratch_dir.h"

namespace {

// The system's layer over a real directory tree, addressed as the removal
// addresses it: directory + "\" + name.
class HostControlCacheLayerTest : public ::testing::Test {
 protected:
  HostControlCacheLayerTest() {
    for (const char* name :
         {"zdinst.dll", "ZDINST.INF", "zdinst", "xzdinst.dll", "zd.dll", "zdinstdir/zdinst.dll",
          "zdinstdir/nested/zdinst.dat", "other/zdinst.dll"}) {
      make_dirs(dir_.path() + "/" + std::string(name).substr(0, std::string(name).rfind('/') + 1));
      write_bytes(dir_.file(name), "x");
    }
  }

  // The names one search gives, with a "/" after those it marks as directories.
  std::set<std::string> find(const std::string& pattern) {
    std::set<std::string> names;
    FindData entry;
    const SearchHandle search =
        layer_->find_first_file((dir_.path() + "\\" + pattern).c_str(), &entry);
    if (search == kInvalidSearchHandle) {
      names.insert("<none: " + std::to_string(layer_->get_last_error()) + ">");
      return names;
    }
    do {
      names.insert(entry.name + (entry.attributes & kFileAttributeDirectory ? "/" : ""));
    } while (layer_->find_next_file(search, &entry));
    layer_->find_close(search);
    return names;
  }

  ScratchDir dir_;
  std::unique_ptr<ControlCacheLayer> layer_ = make_system_control_cache_layer();
};

TEST_F(HostControlCacheLayerTest, PatternsMatchLikeTheSystemsFileNamePatterns) {
  struct Case {
    const char* pattern;
    std::set<std::string> names;
  } cases[] = {
      {"zdinst*", {"ZDINST.INF", "zdinst", "zdinst.dll", "zdinstdir/"}},
      {"ZdInst.DLL", {"zdinst.dll"}},
      {"*.dll", {"xzdinst.dll", "zd.dll", "zdinst.dll"}},
      {"*inst.d*", {"xzdinst.dll", "zdinst.dll"}},
      {"z?.dll", {"zd.dll"}},
      {"*",
       {"./", "../", "ZDINST.INF", "other/", "xzdinst.dll", "zd.dll", "zdinst", "zdinst.dll",
        "zdinstdir/"}},
      {"zdinst.dl", {"<none: 2>"}},
      {"missing\\*", {"<none: 3>"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern);
    EXPECT_EQ(find(c.pattern), c.names);
  }
}

TEST_F(HostControlCacheLayerTest, SearchAndDeletionWorkOnTheRealTree) {
  std::vector<std::string> found;
  RecursiveFileSearch(*layer_, dir_.path(), "zdinst*", found);
  const std::string top = dir_.path();
  // Names in order, ignoring case; subdirectories are descended whatever
  // their names, and "zdinstdir" itself is not listed.
  EXPECT_EQ(found,
            (std::vector<std::string>{top + "\\zdinst", top + "\\zdinst.dll", top + "\\ZDINST.INF",
                                      top + "\\other\\zdinst.dll", top + "\\zdinstdir\\zdinst.dll",
                                      top + "\\zdinstdir\\nested\\zdinst.dat"}));

  for (const std::string& path : found) EXPECT_TRUE(layer_->delete_file(path.c_str())) << path;
  EXPECT_EQ(read_bytes(dir_.file("zdinstdir/nested/zdinst.dat")), "");
  EXPECT_EQ(read_bytes(dir_.file("zd.dll")), "x");

  EXPECT_FALSE(layer_->delete_file(found.front().c_str()));
  EXPECT_EQ(layer_->get_last_error(), kErrorFileNotFound);
}

TEST_F(HostControlCacheLayerTest, ControlCacheServiceIsNotThere) {
  EXPECT_EQ(layer_->load_library("occache.dll"), 0u);
  EXPECT_EQ(layer_->get_last_error(), kErrorModNotFound);
}

}  // namespace
