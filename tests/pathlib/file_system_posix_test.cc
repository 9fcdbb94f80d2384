// What Filename::write_replacing keeps of a POSIX file's permissions.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "pathlib/filename.h"
#include "support/scratch_dir.h"

namespace {

mode_t permissions(const char* path) {
  struct stat info;
  return stat(path, &info) == 0 ? info.st_mode & 07777 : 0;
}

TEST(FileSystemPosix, ReplacementKeepsTheTargetsPermissions) {
  ScratchDir dir;
  write_bytes("target", "old contents");
  chmod("target", 0604);
  ASSERT_TRUE(Filename("target").write_replacing("new"));
  EXPECT_EQ(permissions("target"), 0604u);
}

TEST(FileSystemPosix, NewFileGetsWhatTheUmaskAllows) {
  ScratchDir dir;
  const mode_t previous = umask(027);
  const bool written = Filename("created").write_replacing("new");
  umask(previous);
  ASSERT_TRUE(written);
  EXPECT_EQ(permissions("created"), 0640u);
}

}  // namespace
