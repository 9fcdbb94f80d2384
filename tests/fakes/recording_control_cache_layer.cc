#include "fakes/recording_control_cache_layer.h"

#include <algorithm>
#include <sstream>

namespace {

const LibraryHandle kLibrary = 0x11;
const ProcAddress kRemoveControl = 0x7001;
const std::uint32_t kErrorProcNotFound = 127;
const std::uint32_t kErrorNoMoreFiles = 18;

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool matches(const char* pattern, const char* name) {
  if (*pattern == '*') return matches(pattern + 1, name) || (*name && matches(pattern, name + 1));
  if (!*pattern) return !*name;
  return *name && lower(*pattern) == lower(*name) && matches(pattern + 1, name + 1);
}

std::string parent_of(const std::string& path) {
  const std::size_t slash = path.rfind('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string name_of(const std::string& path) { return path.substr(path.rfind('\\') + 1); }

}  // namespace

void RecordingControlCacheLayer::add_entry(const std::string& path, bool directory) {
  const std::string parent = parent_of(path);
  if (!parent.empty() && !directories_.count(parent)) add_directory(parent);
  directories_[parent].push_back(Entry{name_of(path), directory});
}

void RecordingControlCacheLayer::add_directory(const std::string& path) {
  if (directories_.count(path)) return;
  directories_[path] = {Entry{".", true}, Entry{"..", true}};
  if (!parent_of(path).empty()) add_entry(path, true);
}

void RecordingControlCacheLayer::add_file(const std::string& path) {
  add_entry(path, false);
  file_order_.push_back(path);
}

std::vector<std::string> RecordingControlCacheLayer::files() const { return file_order_; }

bool RecordingControlCacheLayer::remove_file(const std::string& path) {
  const auto file = std::find(file_order_.begin(), file_order_.end(), path);
  if (file == file_order_.end()) return false;
  file_order_.erase(file);
  std::vector<Entry>& entries = directories_[parent_of(path)];
  entries.erase(std::find_if(entries.begin(), entries.end(),
                             [&](const Entry& e) { return e.name == name_of(path); }));
  return true;
}

LibraryHandle RecordingControlCacheLayer::load_library(const char* name) {
  calls.push_back(std::string("LoadLibraryA ") + name + (library_loads ? " -> ok" : " -> fail"));
  if (!library_loads) last_error_ = 126;
  return library_loads ? kLibrary : 0;
}

ProcAddress RecordingControlCacheLayer::get_proc_address(LibraryHandle library, const char* name) {
  const bool found = library == kLibrary && entry_point_present;
  calls.push_back(std::string("GetProcAddress ") + name + (found ? " -> ok" : " -> missing"));
  if (!found) last_error_ = kErrorProcNotFound;
  return found ? kRemoveControl : 0;
}

void RecordingControlCacheLayer::free_library(LibraryHandle library) {
  calls.push_back(library == kLibrary ? "FreeLibrary" : "FreeLibrary <not the loaded library>");
}

void RecordingControlCacheLayer::remove_control_by_name(ProcAddress entry, const char* path,
                                                        const char* class_id, const char* third,
                                                        std::int32_t fourth, std::uint32_t fifth) {
  calls.push_back(std::string(entry == kRemoveControl ? "RemoveControlByName " : "<bad entry> ") +
                  path + " " + class_id + " " + (third ? third : "null") + " " +
                  std::to_string(fourth) + " " + std::to_string(fifth));
  if (!kept_by_service.count(path)) remove_file(path);
}

SearchHandle RecordingControlCacheLayer::find_first_file(const char* search_text, FindData* data) {
  const std::string text = search_text;
  const auto directory = directories_.find(parent_of(text));
  Search search{{}, 1};
  if (directory != directories_.end()) {
    for (const Entry& entry : directory->second) {
      if (!matches(name_of(text).c_str(), entry.name.c_str())) continue;
      FindData found;
      found.name = entry.name;
      found.attributes = entry.directory ? kFileAttributeDirectory : 0x80;
      search.found.push_back(found);
    }
  }
  if (search.found.empty()) {
    calls.push_back("FindFirstFileA " + text + " -> none");
    last_error_ = directory == directories_.end() ? kErrorPathNotFound : kErrorFileNotFound;
    return kInvalidSearchHandle;
  }
  calls.push_back("FindFirstFileA " + text + " -> " + search.found[0].name);
  *data = search.found[0];
  searches_[next_search_] = search;
  return next_search_++;
}

bool RecordingControlCacheLayer::find_next_file(SearchHandle handle, FindData* data) {
  const auto search = searches_.find(handle);
  if (search == searches_.end() || search->second.next >= search->second.found.size()) {
    calls.push_back("FindNextFileA -> none");
    last_error_ = kErrorNoMoreFiles;
    return false;
  }
  *data = search->second.found[search->second.next++];
  calls.push_back("FindNextFileA -> " + data->name);
  return true;
}

void RecordingControlCacheLayer::find_close(SearchHandle handle) {
  calls.push_back(searches_.erase(handle) ? "FindClose" : "FindClose <not open>");
}

bool RecordingControlCacheLayer::delete_file(const char* path) {
  std::vector<std::uint32_t>& failures = delete_failures[path];
  bool deleted = false;
  if (!failures.empty()) {
    last_error_ = failures.front();
    failures.erase(failures.begin());
  } else if (remove_file(path)) {
    deleted = true;
  } else {
    last_error_ = kErrorFileNotFound;
  }
  calls.push_back(std::string("DeleteFileA ") + path + (deleted ? " -> ok" : " -> fail"));
  return deleted;
}

std::uint32_t RecordingControlCacheLayer::get_last_error() {
  calls.push_back("GetLastError -> " + std::to_string(last_error_));
  return last_error_;
}

void RecordingControlCacheLayer::message_box(const char* text, const char* caption,
                                             std::uint32_t flags) {
  std::ostringstream line;
  line << "MessageBoxA \"" << text << "\" \"" << caption << "\" 0x" << std::hex << flags;
  calls.push_back(line.str());
}
