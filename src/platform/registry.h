#pragma once

#include <cstdint>
#include <memory>

/// An open registry key, as the registry layer hands it out.
using RegistryKey = std::uintptr_t;

/// The access a key is opened with (the system's KEY_READ and KEY_WRITE).
enum class RegistryAccess : std::uint32_t { kRead = 0x20019, kWrite = 0x20006 };

/// The machine-wide registry, reduced to the calls the program makes.
class Registry {
 public:
  virtual ~Registry() = default;

  /// Opens an existing key below HKEY_LOCAL_MACHINE; never creates one. True
  /// when `key` now holds the open key, false when it is absent or refused.
  virtual bool open_local_machine_key(const char* path, RegistryAccess access,
                                      RegistryKey* key) = 0;

  /// Stores a 32-bit (REG_DWORD) value. The outcome is not reported: no
  /// caller depends on it.
  virtual void set_dword_value(RegistryKey key, const char* name, std::uint32_t value) = 0;

  /// Stores a text (REG_SZ) value made of the first `byte_count` bytes of
  /// `data`. The outcome is not reported.
  virtual void set_string_value(RegistryKey key, const char* name, const char* data,
                                std::uint32_t byte_count) = 0;

  /// Copies a value's data into `buffer`, which holds `*size` bytes; on
  /// success `*size` becomes the data's byte count. False when the value is
  /// absent or its data does not fit.
  virtual bool query_value(RegistryKey key, const char* name, char* buffer,
                           std::uint32_t* size) = 0;

  virtual void close_key(RegistryKey key) = 0;
};

/// The registry of the system the program was built for.
std::unique_ptr<Registry> make_system_registry();
