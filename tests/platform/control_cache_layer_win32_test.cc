// The control cache layer's file calls against the Windows file system.
#include <windows.h>

#include <set>

#include <gtest/gtest.h>

#include "pathlib/filename.h"
#include "platform/control_cache_layer.h"
#include "support/scratch_dir.h"

namespace {

class Win32ControlCacheLayerTest : public ::testing::Test {
 protected:
  // The names one search gives, with a "/" after those marked as directories.
  std::set<std::string> search(const std::string& pattern) {
    std::set<std::string> names;
    FindData entry;
    const SearchHandle handle =
        layer_->find_first_file((dir_.path() + "\\" + pattern).c_str(), &entry);
    if (handle == kInvalidSearchHandle) return names;
    do {
      names.insert(entry.name + (entry.attributes & kFileAttributeDirectory ? "/" : ""));
    } while (layer_->find_next_file(handle, &entry));
    layer_->find_close(handle);
    return names;
  }

  ScratchDir dir_;
  std::unique_ptr<ControlCacheLayer> layer_ = make_system_control_cache_layer();
};

TEST_F(Win32ControlCacheLayerTest, SearchFindsMatchesOfEitherCaseAndMarksDirectories) {
  write_bytes("zdinst.dll", "");
  write_bytes("ZDINST.inf", "");
  write_bytes("other.txt", "");
  make_dirs("zdinst.dir");
  EXPECT_EQ(search("zdinst*"), (std::set<std::string>{"zdinst.dll", "ZDINST.inf", "zdinst.dir/"}));
  EXPECT_EQ(search("absent*"), std::set<std::string>{});
  EXPECT_EQ(layer_->get_last_error(), kErrorFileNotFound);
}

TEST_F(Win32ControlCacheLayerTest, DeletionTellsWhyItFailed) {
  write_bytes("free", "");
  EXPECT_TRUE(layer_->delete_file("free"));
  EXPECT_FALSE(Filename("free").exists());

  EXPECT_FALSE(layer_->delete_file("free"));
  EXPECT_EQ(layer_->get_last_error(), kErrorFileNotFound);

  // A file in use without shared deletion: the case that makes the removal
  // ask the user to close the browser.
  write_bytes("in_use", "");
  const HANDLE held = CreateFileA("in_use", GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(layer_->delete_file("in_use"));
  EXPECT_EQ(layer_->get_last_error(), kErrorSharingViolation);
  CloseHandle(held);
}

TEST_F(Win32ControlCacheLayerTest, LibrariesLoadByNameAtRunTime) {
  const LibraryHandle kernel = layer_->load_library("kernel32.dll");
  ASSERT_NE(kernel, 0u);
  EXPECT_NE(layer_->get_proc_address(kernel, "GetTickCount"), 0u);
  EXPECT_EQ(layer_->get_proc_address(kernel, "NoSuchEntryPoint"), 0u);
  layer_->free_library(kernel);

  EXPECT_EQ(layer_->load_library("prefgen-absent.dll"), 0u);
  EXPECT_EQ(layer_->get_last_error(), kErrorModNotFound);
}

}  // namespace
