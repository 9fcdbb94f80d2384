#include "document/signed_extension.h"

#include <gtest/gtest.h>

#include "support/scratch_dir.h"
#include "support/signature.h"

namespace {

TEST(ReadWholeFile, ReadsEveryByteAcrossChunkBoundaries) {
  ScratchDir dir;
  for (std::size_t size : {0, 1, 1023, 1024, 1025, 4096 + 7}) {
    std::string bytes;
    for (std::size_t i = 0; i < size; ++i) bytes += static_cast<char>((i * 7) % 256);
    write_bytes(dir.file("f"), bytes);
    const ByteBuffer content = read_whole_file(Filename::binary_filename(dir.file("f")));
    EXPECT_EQ(std::string(content.data(), content.size()), bytes) << size;
    EXPECT_FALSE(content.failed());
  }
  EXPECT_TRUE(read_whole_file(Filename::binary_filename(dir.file("absent"))).empty());
}

// The unit tests embed the test key and sign with its private half.
class SignedExtensionTest : public ::testing::Test {
 protected:
  void sign() {
    const std::string signature = test_key_signature(read_bytes("xrc"));
    ASSERT_FALSE(signature.empty());
    write_bytes("xrc.sig", signature);
  }
  std::string block() {
    std::ostringstream out;
    CaptureStderr err;
    write_signed_extension(out);
    EXPECT_EQ(err.text(), "");
    return out.str();
  }
  ScratchDir dir_;
};

TEST_F(SignedExtensionTest, WritesVerifiedFileUnchanged) {
  const std::string content("line one\n\0\xff\x80 no final newline", 29);
  write_bytes("xrc", content);
  sign();
  EXPECT_EQ(block(), content);
}

TEST_F(SignedExtensionTest, ChangedFileWritesNothing) {
  write_bytes("xrc", "ssl-cipher-list ALL\n");
  sign();
  write_bytes("xrc", "ssl-cipher-list ALM\n");
  EXPECT_EQ(block(), "");
}

TEST_F(SignedExtensionTest, MissingPiecesWriteNothing) {
  EXPECT_EQ(block(), "");  // no xrc
  write_bytes("xrc", "a\n");
  EXPECT_EQ(block(), "");  // no xrc.sig
  write_bytes("xrc.sig", "");
  EXPECT_EQ(block(), "");  // empty signature
}

}  // namespace
