#pragma once

#include <cstddef>

/// A byte array that grows at its end, for holding whole files. Its storage
/// comes from the system file CMake picks: where the system can remap pages,
/// growing copies nothing and large arrays use large pages. A request the
/// system cannot satisfy leaves the array marked as failed instead of ending
/// the program.
class ByteBuffer {
 public:
  ByteBuffer() = default;
  ~ByteBuffer();
  ByteBuffer(ByteBuffer&& other) noexcept;
  ByteBuffer& operator=(ByteBuffer&& other) noexcept;
  ByteBuffer(const ByteBuffer&) = delete;
  ByteBuffer& operator=(const ByteBuffer&) = delete;

  const char* data() const { return data_; }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  /// True when memory ran out; the bytes held are then incomplete.
  bool failed() const { return failed_; }

  /// Room for `count` more bytes after the end, or null when memory ran out.
  char* prepare(std::size_t count);
  /// Adds `count` bytes written into the room prepare() gave.
  void commit(std::size_t count) { size_ += count; }

 private:
  /// Storage of `new_capacity` bytes holding the first `size` bytes of
  /// `data` (of `capacity` bytes, null when none), or null when memory ran
  /// out; `data` is released either way.
  static char* grow_storage(char* data, std::size_t size, std::size_t capacity,
                            std::size_t new_capacity);
  static void release_storage(char* data, std::size_t capacity);

  char* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
  bool failed_ = false;
};
