#include "document/byte_buffer.h"

#include <utility>

ByteBuffer::~ByteBuffer() { release_storage(data_, capacity_); }

ByteBuffer::ByteBuffer(ByteBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)),
      failed_(std::exchange(other.failed_, false)) {}

ByteBuffer& ByteBuffer::operator=(ByteBuffer&& other) noexcept {
  if (this != &other) {
    release_storage(data_, capacity_);
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
    failed_ = std::exchange(other.failed_, false);
  }
  return *this;
}

char* ByteBuffer::prepare(std::size_t count) {
  if (failed_) return nullptr;
  if (count <= capacity_ - size_) return data_ + size_;

  // Doubling keeps the number of regrowths logarithmic in the file size.
  const std::size_t kMinimum = 2 * 1024 * 1024;
  const std::size_t kLimit = static_cast<std::size_t>(-1) / 4;
  if (count > kLimit - size_) {
    failed_ = true;
    return nullptr;
  }
  std::size_t capacity = capacity_ * 2;
  if (capacity < size_ + count) capacity = size_ + count;
  if (capacity < kMinimum) capacity = kMinimum;
  data_ = grow_storage(data_, size_, capacity_, capacity);
  if (!data_) {
    failed_ = true;
    size_ = capacity_ = 0;
    return nullptr;
  }
  capacity_ = capacity;
  return data_ + size_;
}
