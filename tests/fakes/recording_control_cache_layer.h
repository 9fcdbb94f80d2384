#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/control_cache_layer.h"

/// A control cache layer over a directory tree in memory that records every
/// call, in order, as one line each:
///   LoadLibraryA <name> -> ok|fail
///   GetProcAddress <name> -> ok|missing
///   FreeLibrary
///   RemoveControlByName <path> <class id> <third or null> <fourth> <fifth>
///   FindFirstFileA <search text> -> <name>|none
///   FindNextFileA -> <name>|none
///   FindClose
///   DeleteFileA <path> -> ok|fail
///   GetLastError -> <code>
///   MessageBoxA "<text>" "<caption>" <flags in hex>
/// Paths use "\" and compare exactly. A directory lists "." and "..", then
/// its entries in the order they were added. Patterns are names with "*",
/// matched without regard to ASCII case.
class RecordingControlCacheLayer : public ControlCacheLayer {
 public:
  /// Adds a directory, and any missing parent directories.
  void add_directory(const std::string& path);
  /// Adds a file, and any missing parent directories.
  void add_file(const std::string& path);
  /// Every file still in the tree, in order of addition.
  std::vector<std::string> files() const;
  /// How many searches are started and not closed.
  std::size_t open_searches() const { return searches_.size(); }

  /// Whether "occache.dll" loads.
  bool library_loads = true;
  /// Whether the library has "RemoveControlByName".
  bool entry_point_present = true;
  /// Copies RemoveControlByName leaves in place; it deletes every other one.
  std::set<std::string> kept_by_service;
  /// Per path, the last-error codes that its successive DeleteFileA calls
  /// fail with; once they are used up, deletion succeeds.
  std::map<std::string, std::vector<std::uint32_t>> delete_failures;

  std::vector<std::string> calls;

  LibraryHandle load_library(const char* name) override;
  ProcAddress get_proc_address(LibraryHandle library, const char* name) override;
  void free_library(LibraryHandle library) override;
  void remove_control_by_name(ProcAddress entry, const char* path, const char* class_id,
                              const char* third, std::int32_t fourth, std::uint32_t fifth) override;
  SearchHandle find_first_file(const char* search_text, FindData* data) override;
  bool find_next_file(SearchHandle search, FindData* data) override;
  void find_close(SearchHandle search) override;
  bool delete_file(const char* path) override;
  std::uint32_t get_last_error() override;
  void message_box(const char* text, const char* caption, std::uint32_t flags) override;

 private:
  struct Entry {
    std::string name;
    bool directory;
  };
  struct Search {
    std::vector<FindData> found;
    std::size_t next;
  };

  /// Adds `path` as an entry of its parent, creating the parent as needed.
  void add_entry(const std::string& path, bool directory);
  /// Removes the file `path`; false when there is no such file.
  bool remove_file(const std::string& path);

  std::map<std::string, std::vector<Entry>> directories_;
  std::vector<std::string> file_order_;
  std::map<SearchHandle, Search> searches_;
  SearchHandle next_search_ = 1;
  std::uint32_t last_error_ = 0;
};
