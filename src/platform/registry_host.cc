#include "platform/registry_host.h"

#include <cstdio>
#include <cstring>
#include <sstream>

#include "pathlib/execution_environment.h"
#include "pathlib/filename.h"

namespace {

const char kRootName[] = "HKEY_LOCAL_MACHINE\\";

bool parse_hex_digit(char c, int& value) {
  if (c >= '0' && c <= '9')
    value = c - '0';
  else if (c >= 'a' && c <= 'f')
    value = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F')
    value = c - 'A' + 10;
  else
    return false;
  return true;
}

bool starts_with_nocase(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && equal_nocase(text.substr(0, prefix.size()), prefix);
}

// A value's data as the system would hand it out: a text with its NUL,
// four little-endian bytes for a dword, the bytes of hex data.
bool value_data(const std::string& text, std::string& data) {
  if (!text.empty() && text[0] == '"') {
    std::size_t pos = 0;
    if (!unquote_regedit_string(text, pos, data)) return false;
    data += '\0';
    return true;
  }
  if (starts_with_nocase(text, "dword:")) {
    const std::string digits = text.substr(6);
    if (digits.empty() || digits.size() > 8) return false;
    std::uint32_t value = 0;
    for (char c : digits) {
      int digit;
      if (!parse_hex_digit(c, digit)) return false;
      value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    data.clear();
    for (int shift = 0; shift < 32; shift += 8) data += static_cast<char>(value >> shift & 0xFF);
    return true;
  }
  if (starts_with_nocase(text, "hex")) {
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos) return false;
    data.clear();
    int high = -1;
    for (std::size_t i = colon + 1; i < text.size(); ++i) {
      int digit;
      if (parse_hex_digit(text[i], digit)) {
        if (high < 0) {
          high = digit;
        } else {
          data += static_cast<char>(high << 4 | digit);
          high = -1;
        }
      } else if (!std::strchr(", \t\\\r\n", text[i])) {
        return false;
      }
    }
    return high < 0;
  }
  return false;
}

// The file's text; empty when it cannot be read.
std::string read_text(const std::string& path) {
  std::ifstream in;
  if (!Filename::binary_filename(path).open_read(in)) return std::string();
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

std::string HostRegistry::default_file_path() {
  if (ExecutionEnvironment::has_environment_variable("PREFGEN_REGISTRY")) {
    return ExecutionEnvironment::get_environment_variable("PREFGEN_REGISTRY");
  }
  const std::string config_home = ExecutionEnvironment::get_environment_variable("XDG_CONFIG_HOME");
  if (!config_home.empty()) return config_home + "/prefgen/registry.reg";
  const std::string home = ExecutionEnvironment::get_environment_variable("HOME");
  if (!home.empty()) return home + "/.config/prefgen/registry.reg";
  return std::string();
}

bool HostRegistry::open_local_machine_key(const char* path, RegistryAccess access,
                                          RegistryKey* key) {
  // The file is read afresh at each open, as another program may have
  // changed it in between.
  const std::string text = read_text(file_path_);
  if (!parse_regedit(text, file_)) return false;
  const std::string section_path = std::string(kRootName) + path;
  if (!file_.find_section(section_path)) return false;
  *key = next_key_++;
  open_keys_[*key] = OpenKey{section_path, access};
  return true;
}

void HostRegistry::set_dword_value(RegistryKey key, const char* name, std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "dword:%08x", static_cast<unsigned>(value));
  set_value(key, name, text);
}

void HostRegistry::set_string_value(RegistryKey key, const char* name, const char* data,
                                    std::uint32_t byte_count) {
  set_value(key, name, quote_regedit_string(std::string(data, byte_count)));
}

void HostRegistry::set_value(RegistryKey key, const char* name, const std::string& text) {
  const auto open = open_keys_.find(key);
  if (open == open_keys_.end() || open->second.access != RegistryAccess::kWrite) return;
  RegeditFile::Section* section = file_.find_section(open->second.section_path);
  if (!section) return;

  RegeditFile::Line* existing = nullptr;
  for (RegeditFile::Line& line : section->lines) {
    if (line.is_value && equal_nocase(line.name, name)) existing = &line;
  }
  if (existing) {
    existing->text = text;
  } else {
    section->lines.push_back(RegeditFile::Line{true, name, text});
  }
  // Flushing to disk would cost more than the rest of a run, three times
  // over; the stand-in only needs to survive the program being killed.
  Filename(file_path_).write_replacing(format_regedit(file_), Filename::Durability::kProcessCrash);
}

bool HostRegistry::query_value(RegistryKey key, const char* name, char* buffer,
                               std::uint32_t* size) {
  const auto open = open_keys_.find(key);
  if (open == open_keys_.end()) return false;
  const RegeditFile::Section* section = file_.find_section(open->second.section_path);
  if (!section) return false;
  for (const RegeditFile::Line& line : section->lines) {
    if (!line.is_value || !equal_nocase(line.name, name)) continue;
    std::string data;
    if (!value_data(line.text, data) || data.size() > *size) return false;
    std::memcpy(buffer, data.data(), data.size());
    *size = static_cast<std::uint32_t>(data.size());
    return true;
  }
  return false;
}

void HostRegistry::close_key(RegistryKey key) { open_keys_.erase(key); }

std::unique_ptr<Registry> make_system_registry() {
  return std::make_unique<HostRegistry>(HostRegistry::default_file_path());
}
