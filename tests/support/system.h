#pragma once

#include <cstdint>
#include <string>

/// Sets the environment variable `name` of this process to `value`.
void set_environment_variable(const std::string& name, const std::string& value);
/// Removes the environment variable `name` from this process.
void unset_environment_variable(const std::string& name);

/// A file that directory searches list and that nothing can open, even with
/// the highest privileges, while the object lives.
class UnopenableFile {
 public:
  /// Creates it as `path`; the directory must exist.
  explicit UnopenableFile(const std::string& path);
  ~UnopenableFile();
  UnopenableFile(const UnopenableFile&) = delete;
  UnopenableFile& operator=(const UnopenableFile&) = delete;

  /// False when it could not be made.
  bool made() const { return made_; }

 private:
  bool made_ = false;
  std::uintptr_t handle_ = 0;
};
