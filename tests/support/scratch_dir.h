#pragma once

#include <map>
#include <optional>
#include <sstream>
#include <string>

/// A fresh temporary directory that is the current directory for the
/// lifetime of the object; removed afterwards.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& path() const { return path_; }
  /// `relative` below the directory.
  std::string file(const std::string& relative) const { return path_ + "/" + relative; }

 private:
  std::string path_;
  std::string previous_;
};

/// Sets or unsets environment variables, restoring them on destruction.
class ScopedEnv {
 public:
  ScopedEnv() = default;
  ~ScopedEnv();
  void set(const std::string& name, const std::string& value);
  void unset(const std::string& name);

 private:
  void remember(const std::string& name);
  std::map<std::string, std::optional<std::string>> saved_;
};

/// Captures what is written to std::cerr while it lives.
class CaptureStderr {
 public:
  CaptureStderr();
  ~CaptureStderr();
  std::string text() const { return captured_.str(); }

 private:
  std::ostringstream captured_;
  std::streambuf* previous_;
};

/// The file's bytes; empty when it cannot be read.
std::string read_bytes(const std::string& path);
/// Writes `bytes` to the file, replacing it.
void write_bytes(const std::string& path, const std::string& bytes);
/// Creates a directory (and its parents).
void make_dirs(const std::string& path);
