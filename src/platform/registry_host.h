#pragma once

#include <map>
#include <string>

#include "platform/regedit_file.h"
#include "platform/registry.h"

/// The registry's stand-in on systems without one: a REGEDIT4 text file.
/// A key exists when the file has its section; names compare without regard
/// to ASCII case; opening never creates a key. Each value written replaces
/// the whole file at once, so it is never left half-written.
class HostRegistry : public Registry {
 public:
  explicit HostRegistry(std::string file_path) : file_path_(std::move(file_path)) {}

  /// The file the program uses: $PREFGEN_REGISTRY, or else
  /// $XDG_CONFIG_HOME/prefgen/registry.reg, or ~/.config/prefgen/registry.reg.
  static std::string default_file_path();

  bool open_local_machine_key(const char* path, RegistryAccess access, RegistryKey* key) override;
  void set_dword_value(RegistryKey key, const char* name, std::uint32_t value) override;
  void set_string_value(RegistryKey key, const char* name, const char* data,
                        std::uint32_t byte_count) override;
  bool query_value(RegistryKey key, const char* name, char* buffer, std::uint32_t* size) override;
  void close_key(RegistryKey key) override;

 private:
  struct OpenKey {
    std::string section_path;
    RegistryAccess access;
  };

  void set_value(RegistryKey key, const char* name, const std::string& text);

  std::string file_path_;
  RegeditFile file_;
  std::map<RegistryKey, OpenKey> open_keys_;
  RegistryKey next_key_ = 1;
};
