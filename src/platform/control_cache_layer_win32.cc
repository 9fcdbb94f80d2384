// The control cache layer on Windows: each method is the system call it is
// named after. The control cache service is loaded by name at run time, so
// the program starts on machines that lack it.
#include <windows.h>

#include "platform/control_cache_layer.h"

static_assert(kFileAttributeDirectory == FILE_ATTRIBUTE_DIRECTORY, "FILE_ATTRIBUTE_DIRECTORY");
static_assert(kErrorFileNotFound == ERROR_FILE_NOT_FOUND, "ERROR_FILE_NOT_FOUND");
static_assert(kErrorPathNotFound == ERROR_PATH_NOT_FOUND, "ERROR_PATH_NOT_FOUND");
static_assert(kErrorAccessDenied == ERROR_ACCESS_DENIED, "ERROR_ACCESS_DENIED");
static_assert(kErrorSharingViolation == ERROR_SHARING_VIOLATION, "ERROR_SHARING_VIOLATION");
static_assert(kErrorModNotFound == ERROR_MOD_NOT_FOUND, "ERROR_MOD_NOT_FOUND");

namespace {

// occache.dll's export; no SDK header declares it.
using RemoveControlByNameFunction = HRESULT(WINAPI*)(LPCSTR path, LPCSTR class_id,
                                                     LPCSTR package_name, BOOL force, BOOL silent);

HANDLE as_handle(SearchHandle search) { return reinterpret_cast<HANDLE>(search); }

void take_entry(const WIN32_FIND_DATAA& found, FindData* data) {
  data->attributes = found.dwFileAttributes;
  data->name = found.cFileName;
}

class Win32ControlCacheLayer : public ControlCacheLayer {
 public:
  LibraryHandle load_library(const char* name) override {
    return reinterpret_cast<LibraryHandle>(LoadLibraryA(name));
  }
  ProcAddress get_proc_address(LibraryHandle library, const char* name) override {
    return reinterpret_cast<ProcAddress>(GetProcAddress(reinterpret_cast<HMODULE>(library), name));
  }
  void free_library(LibraryHandle library) override {
    FreeLibrary(reinterpret_cast<HMODULE>(library));
  }
  std::uint32_t get_last_error() override { return GetLastError(); }

  void remove_control_by_name(ProcAddress entry, const char* path, const char* class_id,
                              const char* third, std::int32_t fourth,
                              std::uint32_t fifth) override {
    reinterpret_cast<RemoveControlByNameFunction>(entry)(path, class_id, third, fourth,
                                                         static_cast<BOOL>(fifth));
  }

  SearchHandle find_first_file(const char* search_text, FindData* data) override {
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA(search_text, &found);
    if (search == INVALID_HANDLE_VALUE) return kInvalidSearchHandle;
    take_entry(found, data);
    return reinterpret_cast<SearchHandle>(search);
  }
  bool find_next_file(SearchHandle search, FindData* data) override {
    WIN32_FIND_DATAA found;
    if (!FindNextFileA(as_handle(search), &found)) return false;
    take_entry(found, data);
    return true;
  }
  void find_close(SearchHandle search) override { FindClose(as_handle(search)); }

  bool delete_file(const char* path) override { return DeleteFileA(path) != 0; }
  void message_box(const char* text, const char* caption, std::uint32_t flags) override {
    MessageBoxA(nullptr, text, caption, flags);
  }
};

}  // namespace

std::unique_ptr<ControlCacheLayer> make_system_control_cache_layer() {
  return std::make_unique<Win32ControlCacheLayer>();
}
