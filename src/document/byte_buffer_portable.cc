// ByteBuffer's storage from the C library's allocator.
#include <cstdlib>

#include "document/byte_buffer.h"

char* ByteBuffer::grow_storage(char* data, std::size_t, std::size_t, std::size_t new_capacity) {
  char* grown = static_cast<char*>(std::realloc(data, new_capacity));
  if (!grown) std::free(data);
  return grown;
}

void ByteBuffer::release_storage(char* data, std::size_t) { std::free(data); }
