#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/registry.h"

/// A registry in memory that records every call made to it, in order, as
/// one line each:
///   open <path> read|write -> ok|absent
///   dword <name> <value>
///   string <name> "<data>" <byte count>
///   query <name> <buffer size> -> ok|fail
///   close
/// Key paths and value names compare without regard to ASCII case.
class RecordingRegistry : public Registry {
 public:
  /// Makes the key exist (empty).
  void add_key(const std::string& path);
  /// Stores raw data for a value, as query_value hands it out.
  void put_data(const std::string& path, const std::string& name, const std::string& data);
  /// The raw data of a value, or "<absent>".
  std::string data(const std::string& path, const std::string& name) const;
  /// How many keys are open now.
  std::size_t open_count() const { return open_.size(); }

  std::vector<std::string> calls;

  bool open_local_machine_key(const char* path, RegistryAccess access, RegistryKey* key) override;
  void set_dword_value(RegistryKey key, const char* name, std::uint32_t value) override;
  void set_string_value(RegistryKey key, const char* name, const char* data,
                        std::uint32_t byte_count) override;
  bool query_value(RegistryKey key, const char* name, char* buffer, std::uint32_t* size) override;
  void close_key(RegistryKey key) override;

 private:
  using Values = std::map<std::string, std::string>;
  std::map<std::string, Values> keys_;
  std::map<RegistryKey, std::string> open_;
  RegistryKey next_key_ = 100;
};
