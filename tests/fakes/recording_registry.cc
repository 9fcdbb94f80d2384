#include "fakes/recording_registry.h"

#include <cstring>

namespace {

std::string upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

}  // namespace

void RecordingRegistry::add_key(const std::string& path) { keys_[upper(path)]; }

void RecordingRegistry::put_data(const std::string& path, const std::string& name,
                                 const std::string& data) {
  keys_[upper(path)][upper(name)] = data;
}

std::string RecordingRegistry::data(const std::string& path, const std::string& name) const {
  const auto key = keys_.find(upper(path));
  if (key == keys_.end()) return "<absent>";
  const auto value = key->second.find(upper(name));
  return value == key->second.end() ? "<absent>" : value->second;
}

bool RecordingRegistry::open_local_machine_key(const char* path, RegistryAccess access,
                                               RegistryKey* key) {
  const bool exists = keys_.count(upper(path)) > 0;
  calls.push_back(std::string("open ") + path +
                  (access == RegistryAccess::kRead ? " read" : " write") +
                  (exists ? " -> ok" : " -> absent"));
  if (!exists) return false;
  *key = next_key_++;
  open_[*key] = upper(path);
  return true;
}

void RecordingRegistry::set_dword_value(RegistryKey key, const char* name, std::uint32_t value) {
  calls.push_back(std::string("dword ") + name + " " + std::to_string(value));
  std::string bytes;
  for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>(value >> shift & 0xFF);
  if (open_.count(key)) keys_[open_[key]][upper(name)] = bytes;
}

void RecordingRegistry::set_string_value(RegistryKey key, const char* name, const char* data,
                                         std::uint32_t byte_count) {
  const std::string text(data, byte_count);
  calls.push_back(std::string("string ") + name + " \"" + text + "\" " +
                  std::to_string(byte_count));
  if (open_.count(key)) keys_[open_[key]][upper(name)] = text + '\0';
}

bool RecordingRegistry::query_value(RegistryKey key, const char* name, char* buffer,
                                    std::uint32_t* size) {
  const std::string line = std::string("query ") + name + " " + std::to_string(*size);
  const std::string value = open_.count(key) ? data(open_[key], name) : "<absent>";
  if (value == "<absent>" || value.size() > *size) {
    calls.push_back(line + " -> fail");
    return false;
  }
  std::memcpy(buffer, value.data(), value.size());
  *size = static_cast<std::uint32_t>(value.size());
  calls.push_back(line + " -> ok");
  return true;
}

void RecordingRegistry::close_key(RegistryKey key) {
  calls.push_back("close");
  open_.erase(key);
}
