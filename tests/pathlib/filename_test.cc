#include "pathlib/filename.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "pathlib/dsearch_path.h"
#include "support/scratch_dir.h"

namespace {

TEST(Filename, SetExtension) {
  struct Case {
    const char* name;
    const char* result;
  } cases[] = {
      {"xrc", "xrc.sig"},         {"a.txt", "a.sig"},         {"dir.d/xrc", "dir.d/xrc.sig"},
      {".hidden", ".hidden.sig"}, {"d\\a.b.c", "d\\a.b.sig"},
  };
  for (const Case& c : cases) {
    Filename name = Filename::binary_filename(c.name);
    name.set_extension("sig");
    EXPECT_EQ(name.get_fullpath(), c.result);
    EXPECT_TRUE(name.is_binary());
  }
}

TEST(Filename, ExistsOnlyForNonDirectories) {
  ScratchDir dir;
  write_bytes("file", "x");
  make_dirs("folder");
  EXPECT_TRUE(Filename("file").exists());
  EXPECT_FALSE(Filename("folder").exists());
  EXPECT_FALSE(Filename("absent").exists());
  EXPECT_FALSE(Filename("").exists());
}

TEST(Filename, WriteReplacingSwapsContentsWhole) {
  ScratchDir dir;
  write_bytes("target", "old contents");
  for (Filename::Durability durability :
       {Filename::Durability::kSystemCrash, Filename::Durability::kProcessCrash}) {
    EXPECT_TRUE(Filename("target").write_replacing(std::string("new\0\r\n\x1a.", 8), durability));
    EXPECT_EQ(read_bytes("target"), std::string("new\0\r\n\x1a.", 8));
  }
  EXPECT_TRUE(Filename("created").write_replacing("fresh"));
  EXPECT_EQ(read_bytes("created"), "fresh");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."),
                          std::filesystem::directory_iterator()),
            2);  // no temporary file is left behind
}

TEST(Filename, WriteReplacingRefusesWhatCannotBeWritten) {
  ScratchDir dir;
  make_dirs("folder");
  EXPECT_FALSE(Filename("folder").write_replacing("x"));
  EXPECT_TRUE(std::filesystem::is_directory("folder"));
  EXPECT_FALSE(Filename("missing/target").write_replacing("x"));
  EXPECT_FALSE(Filename("").write_replacing("x"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(DSearchPath, SplitsAtDefaultDelimitersAndDropsTrailingSeparators) {
  const DSearchPath path(" /a  b/\t/c//;d\n/ ");
  std::vector<std::string> directories;
  for (std::size_t i = 0; i < path.get_num_directories(); ++i) {
    directories.push_back(path.get_directory(i));
  }
  EXPECT_EQ(directories, (std::vector<std::string>{"/a", "b", "/c", "d", "/"}));
  EXPECT_EQ(DSearchPath("").get_num_directories(), 0u);
  EXPECT_EQ(DSearchPath("").get_directory(0), "");
  EXPECT_EQ(DSearchPath("a:b", ":").get_directory(1), "b");
}

TEST(DSearchPath, FindsFilesInPathOrder) {
  ScratchDir dir;
  for (const char* folder : {"one", "two", "three"}) make_dirs(folder);
  write_bytes("three/useropt", "3");
  write_bytes("one/useropt", "1");
  make_dirs("two/useropt");  // a directory of that name is no file
  DSearchPath::Results results;
  EXPECT_EQ(DSearchPath("three two one missing").find_all_files(Filename("useropt"), results), 2u);
  ASSERT_EQ(results.get_num_files(), 2u);
  EXPECT_EQ(results.get_file(0).get_fullpath(), "three/useropt");
  EXPECT_EQ(results.get_file(1).get_fullpath(), "one/useropt");
}

}  // namespace
