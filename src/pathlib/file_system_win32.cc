// File operations of Filename that differ between systems: the Windows side.
#include <windows.h>

#include <string>

#include "pathlib/filename.h"

bool Filename::exists() const {
  if (text_.empty()) return false;
  const DWORD attributes = GetFileAttributesA(text_.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {

// The attributes a replacement takes over from the file it replaces.
const DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                              FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Creates a file of a new name beside `target`; fills `name` with it.
HANDLE create_temporary_beside(const std::string& target, DWORD attributes, std::string& name) {
  const std::string stem = target + "." + std::to_string(GetCurrentProcessId()) + ".";
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    name = stem + std::to_string(attempt) + ".tmp";
    const HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    attributes ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

bool write_all(HANDLE file, const std::string& bytes) {
  const char* next = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const DWORD chunk = left > 0x40000000 ? 0x40000000 : static_cast<DWORD>(left);
    DWORD written;
    if (!WriteFile(file, next, chunk, &written, nullptr) || written == 0) return false;
    next += written;
    left -= written;
  }
  return true;
}

}  // namespace

bool Filename::write_replacing(const std::string& bytes, Durability durability) const {
  if (text_.empty()) return false;
  DWORD kept = 0;
  const DWORD attributes = GetFileAttributesA(text_.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    // Replacing a read-only file by a move would sidestep its protection.
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) return false;
    kept = attributes & kKeptAttributes;
  }

  std::string temp_name;
  const HANDLE file = create_temporary_beside(text_, kept, temp_name);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool written =
      write_all(file, bytes) && (durability == Durability::kProcessCrash || FlushFileBuffers(file));
  const bool closed = CloseHandle(file) != 0;
  const DWORD move_flags = MOVEFILE_REPLACE_EXISTING |
                           (durability == Durability::kSystemCrash ? MOVEFILE_WRITE_THROUGH : 0);
  if (!written || !closed || !MoveFileExA(temp_name.c_str(), text_.c_str(), move_flags)) {
    DeleteFileA(temp_name.c_str());
    return false;
  }
  return true;
}
