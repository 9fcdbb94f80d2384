// Filename's file operations against the Windows file system: what a
// replacement does with the target's attributes and when the target cannot
// be replaced.
#include <windows.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "pathlib/filename.h"
#include "support/scratch_dir.h"

namespace {

std::ptrdiff_t entry_count() {
  return std::distance(std::filesystem::directory_iterator("."),
                       std::filesystem::directory_iterator());
}

TEST(FileSystemWin32, ReadOnlyTargetIsLeftAlone) {
  ScratchDir dir;
  write_bytes("target", "old");
  ASSERT_TRUE(SetFileAttributesA("target", FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(Filename("target").write_replacing("new"));
  SetFileAttributesA("target", FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(read_bytes("target"), "old");
  EXPECT_EQ(entry_count(), 1);
}

TEST(FileSystemWin32, HiddenTargetStaysHidden) {
  ScratchDir dir;
  write_bytes("target", "old");
  ASSERT_TRUE(SetFileAttributesA("target", FILE_ATTRIBUTE_HIDDEN));
  EXPECT_TRUE(Filename("target").write_replacing("new"));
  EXPECT_EQ(read_bytes("target"), "new");
  const DWORD attributes = GetFileAttributesA("target");
  EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
}

TEST(FileSystemWin32, TargetInUseKeepsItsContentsAndNoTemporaryFileStays) {
  ScratchDir dir;
  write_bytes("target", "old");
  // Open elsewhere with no sharing, as an editor holding the file would.
  const HANDLE held = CreateFileA("target", GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(Filename("target").write_replacing("new"));
  CloseHandle(held);
  EXPECT_EQ(read_bytes("target"), "old");
  EXPECT_EQ(entry_count(), 1);
}

}  // namespace
