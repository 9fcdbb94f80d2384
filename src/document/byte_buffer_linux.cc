// ByteBuffer's storage on Linux: anonymous mappings, grown by remapping
// their pages (no copy) and backed by huge pages where the kernel has them,
// which makes first use of a large buffer several times cheaper.
#include <sys/mman.h>

#include "document/byte_buffer.h"

char* ByteBuffer::grow_storage(char* data, std::size_t, std::size_t capacity,
                               std::size_t new_capacity) {
  void* grown = data ? mremap(data, capacity, new_capacity, MREMAP_MAYMOVE)
                     : mmap(nullptr, new_capacity, PROT_READ | PROT_WRITE,
                            MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (grown == MAP_FAILED) {
    release_storage(data, capacity);
    return nullptr;
  }
  madvise(grown, new_capacity, MADV_HUGEPAGE);
  return static_cast<char*>(grown);
}

void ByteBuffer::release_storage(char* data, std::size_t capacity) {
  if (data) munmap(data, capacity);
}
