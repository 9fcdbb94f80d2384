// The registry layer on Windows: each method is the advapi32 call it is
// named after, on keys below HKEY_LOCAL_MACHINE.
#include <windows.h>

#include "platform/registry.h"

static_assert(static_cast<REGSAM>(RegistryAccess::kRead) == KEY_READ, "KEY_READ");
static_assert(static_cast<REGSAM>(RegistryAccess::kWrite) == KEY_WRITE, "KEY_WRITE");

namespace {

HKEY as_hkey(RegistryKey key) { return reinterpret_cast<HKEY>(key); }

class Win32Registry : public Registry {
 public:
  bool open_local_machine_key(const char* path, RegistryAccess access, RegistryKey* key) override {
    HKEY opened;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, static_cast<REGSAM>(access), &opened) !=
        ERROR_SUCCESS) {
      return false;
    }
    *key = reinterpret_cast<RegistryKey>(opened);
    return true;
  }

  void set_dword_value(RegistryKey key, const char* name, std::uint32_t value) override {
    const DWORD data = value;
    RegSetValueExA(as_hkey(key), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                   sizeof data);
  }

  void set_string_value(RegistryKey key, const char* name, const char* data,
                        std::uint32_t byte_count) override {
    RegSetValueExA(as_hkey(key), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), byte_count);
  }

  bool query_value(RegistryKey key, const char* name, char* buffer, std::uint32_t* size) override {
    DWORD length = *size;
    if (RegQueryValueExA(as_hkey(key), name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                         &length) != ERROR_SUCCESS) {
      return false;
    }
    *size = length;
    return true;
  }

  void close_key(RegistryKey key) override { RegCloseKey(as_hkey(key)); }
};

}  // namespace

std::unique_ptr<Registry> make_system_registry() { return std::make_unique<Win32Registry>(); }
