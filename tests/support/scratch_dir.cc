#include "support/scratch_dir.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>
#include <vector>

ScratchDir::ScratchDir() {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/prefgen-test-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (!mkdtemp(name.data())) throw std::runtime_error("mkdtemp failed");
  path_ = name.data();
  previous_ = std::filesystem::current_path().string();
  std::filesystem::current_path(path_);
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::current_path(previous_, ignored);
  std::filesystem::remove_all(path_, ignored);
}

void ScopedEnv::remember(const std::string& name) {
  if (saved_.count(name)) return;
  const char* value = std::getenv(name.c_str());
  saved_[name] = value ? std::optional<std::string>(value) : std::nullopt;
}

void ScopedEnv::set(const std::string& name, const std::string& value) {
  remember(name);
  setenv(name.c_str(), value.c_str(), 1);
}

void ScopedEnv::unset(const std::string& name) {
  remember(name);
  unsetenv(name.c_str());
}

ScopedEnv::~ScopedEnv() {
  for (const auto& [name, value] : saved_) {
    if (value) {
      setenv(name.c_str(), value->c_str(), 1);
    } else {
      unsetenv(name.c_str());
    }
  }
}

CaptureStderr::CaptureStderr() : previous_(std::cerr.rdbuf(captured_.rdbuf())) {}
CaptureStderr::~CaptureStderr() { std::cerr.rdbuf(previous_); }

std::string read_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_bytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void make_dirs(const std::string& path) { std::filesystem::create_directories(path); }
