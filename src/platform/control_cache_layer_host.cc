// The control cache layer on systems without Windows. There is no control
// cache service, so loading "occache.dll" fails as on a machine without it.
// The directory search and deletion work on the real file system with the
// system's rules for the Windows calls: "\" separates path parts, a pattern
// is a name with "*" (any run) and "?" (one character), and names compare
// without regard to ASCII case. The message box is a text on standard error.

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <iostream>
#include <map>
#include <vector>

#include "platform/control_cache_layer.h"

namespace {

const std::uint32_t kErrorInvalidHandle = 6;
const std::uint32_t kErrorNoMoreFiles = 18;
const std::uint32_t kErrorWriteProtect = 19;
const std::uint32_t kErrorGenFailure = 31;
const std::uint32_t kErrorProcNotFound = 127;
const std::uint32_t kErrorFilenameTooLong = 206;
const std::uint32_t kFileAttributeNormal = 0x80;

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool less_nocase(const FindData& a, const FindData& b) {
  return std::lexicographical_compare(a.name.begin(), a.name.end(), b.name.begin(), b.name.end(),
                                      [](char x, char y) { return lower(x) < lower(y); });
}

// Whether `name` matches `pattern`.
bool matches_file_pattern(const std::string& pattern, const std::string& name) {
  // Greedy match with one backtrack point, the last "*" seen.
  std::size_t p = 0, n = 0;
  std::size_t star = std::string::npos, star_name = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      star_name = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || lower(pattern[p]) == lower(name[n]))) {
      ++p;
      ++n;
    } else if (star != std::string::npos) {
      p = star + 1;
      n = ++star_name;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::string posix_path(const char* path) {
  std::string text(path);
  std::replace(text.begin(), text.end(), '\\', '/');
  return text;
}

// The system's last-error code for a failed file call's errno.
std::uint32_t error_code(int error) {
  switch (error) {
    case ENOENT:
      return kErrorFileNotFound;
    case ENOTDIR:
      return kErrorPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
      return kErrorAccessDenied;
    case EBUSY:
    case ETXTBSY:
      return kErrorSharingViolation;
    case EROFS:
      return kErrorWriteProtect;
    case ENAMETOOLONG:
      return kErrorFilenameTooLong;
    default:
      return kErrorGenFailure;
  }
}

class HostControlCacheLayer : public ControlCacheLayer {
 public:
  LibraryHandle load_library(const char*) override { return fail(kErrorModNotFound); }
  ProcAddress get_proc_address(LibraryHandle, const char*) override {
    return fail(kErrorProcNotFound);
  }
  void free_library(LibraryHandle) override {}
  void remove_control_by_name(ProcAddress, const char*, const char*, const char*, std::int32_t,
                              std::uint32_t) override {}

  SearchHandle find_first_file(const char* search_text, FindData* data) override;
  bool find_next_file(SearchHandle search, FindData* data) override;
  void find_close(SearchHandle search) override { searches_.erase(search); }

  bool delete_file(const char* path) override {
    if (unlink(posix_path(path).c_str()) == 0) return true;
    last_error_ = error_code(errno);
    return false;
  }
  std::uint32_t get_last_error() override { return last_error_; }

  void message_box(const char* text, const char* caption, std::uint32_t) override {
    std::cerr << caption << ": " << text << std::endl;
    // Someone at a terminal confirms, as with the box's OK button; anyone
    // else cannot, and the removal goes straight on.
    if (isatty(STDIN_FILENO)) {
      std::string line;
      std::getline(std::cin, line);
    }
  }

 private:
  struct Search {
    std::vector<FindData> entries;
    std::size_t next = 0;
  };

  // Records why a call failed and gives the failing result, 0.
  std::uintptr_t fail(std::uint32_t code) {
    last_error_ = code;
    return 0;
  }

  std::map<SearchHandle, Search> searches_;
  SearchHandle next_handle_ = 1;
  std::uint32_t last_error_ = 0;
};

SearchHandle HostControlCacheLayer::find_first_file(const char* search_text, FindData* data) {
  const std::string text = posix_path(search_text);
  const std::size_t slash = text.rfind('/');
  std::string directory = ".";
  if (slash == 0) {
    directory = "/";
  } else if (slash != std::string::npos) {
    directory = text.substr(0, slash);
  }
  const std::string pattern = slash == std::string::npos ? text : text.substr(slash + 1);

  DIR* dir = opendir(directory.c_str());
  if (!dir) {
    fail(errno == ENOENT ? kErrorPathNotFound : error_code(errno));
    return kInvalidSearchHandle;
  }
  Search search;
  while (const dirent* entry = readdir(dir)) {
    if (!matches_file_pattern(pattern, entry->d_name)) continue;
    FindData found;
    found.name = entry->d_name;
    // Followed through links, as the system reports a link to a directory
    // as a directory.
    struct stat status;
    const bool directory_entry =
        stat((directory + "/" + found.name).c_str(), &status) == 0 && S_ISDIR(status.st_mode);
    found.attributes = directory_entry ? kFileAttributeDirectory : kFileAttributeNormal;
    search.entries.push_back(found);
  }
  closedir(dir);
  if (search.entries.empty()) {
    fail(kErrorFileNotFound);
    return kInvalidSearchHandle;
  }

  // readdir's order depends on the file system; names in order, as the
  // Windows file system gives them, make runs repeatable.
  std::sort(search.entries.begin(), search.entries.end(), less_nocase);
  *data = search.entries[0];
  search.next = 1;
  const SearchHandle handle = next_handle_++;
  searches_[handle] = std::move(search);
  return handle;
}

bool HostControlCacheLayer::find_next_file(SearchHandle handle, FindData* data) {
  const auto search = searches_.find(handle);
  if (search == searches_.end()) {
    fail(kErrorInvalidHandle);
    return false;
  }
  if (search->second.next >= search->second.entries.size()) {
    fail(kErrorNoMoreFiles);
    return false;
  }
  *data = search->second.entries[search->second.next++];
  return true;
}

}  // namespace

std::unique_ptr<ControlCacheLayer> make_system_control_cache_layer() {
  return std::make_unique<HostControlCacheLayer>();
}
