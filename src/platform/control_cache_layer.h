#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/system_library.h"

/// A running directory search (the HANDLE of FindFirstFileA).
using SearchHandle = std::uintptr_t;

/// The handle a search that found nothing gives (INVALID_HANDLE_VALUE).
constexpr SearchHandle kInvalidSearchHandle = ~SearchHandle{0};

/// FindData::attributes bit of a directory (FILE_ATTRIBUTE_DIRECTORY).
constexpr std::uint32_t kFileAttributeDirectory = 0x10;

/// Last-error codes the removal tells apart.
enum ControlCacheError : std::uint32_t {
  kErrorFileNotFound = 2,
  kErrorPathNotFound = 3,
  kErrorAccessDenied = 5,
  kErrorSharingViolation = 32,
};

/// One entry of a directory search: the parts of WIN32_FIND_DATAA read here.
struct FindData {
  /// dwFileAttributes.
  std::uint32_t attributes = 0;
  /// cFileName: the entry's name, without its directory.
  std::string name;
};

/// The calls, besides the registry's, that the browser control removal makes:
/// the control cache service, the directory search, file deletion and the
/// message box. One method per system call.
class ControlCacheLayer : public SystemLibraryCalls {
 public:

  /// Calls RemoveControlByName at `entry` with these five arguments; its
  /// result is of no use to the caller and not returned.
  virtual void remove_control_by_name(ProcAddress entry, const char* path, const char* class_id,
                                      const char* third, std::int32_t fourth,
                                      std::uint32_t fifth) = 0;

  /// FindFirstFileA: starts a search for `search_text` (a directory, "\" and
  /// a pattern) and fills `data` with the first entry; kInvalidSearchHandle
  /// when nothing matches.
  virtual SearchHandle find_first_file(const char* search_text, FindData* data) = 0;
  /// FindNextFileA: fills `data` with the next entry; false when none is left.
  virtual bool find_next_file(SearchHandle search, FindData* data) = 0;
  /// FindClose: ends a search that find_first_file started.
  virtual void find_close(SearchHandle search) = 0;

  /// DeleteFileA: deletes the file `path`; false on failure.
  virtual bool delete_file(const char* path) = 0;
  /// MessageBoxA with no owner window; returns once the user has closed it.
  virtual void message_box(const char* text, const char* caption, std::uint32_t flags) = 0;
};

/// The control cache layer of the system the program was built for.
std::unique_ptr<ControlCacheLayer> make_system_control_cache_layer();
