#include "support/scratch_dir.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "pathlib/execution_environment.h"
#include "support/system.h"

ScratchDir::ScratchDir() {
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  std::random_device random;
  for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
    const std::filesystem::path candidate = base / ("prefgen-test-" + std::to_string(random()));
    if (std::filesystem::create_directory(candidate)) path_ = candidate.string();
  }
  if (path_.empty()) throw std::runtime_error("cannot create a scratch directory");
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
  saved_[name] =
      ExecutionEnvironment::has_environment_variable(name)
          ? std::optional<std::string>(ExecutionEnvironment::get_environment_variable(name))
          : std::nullopt;
}

void ScopedEnv::set(const std::string& name, const std::string& value) {
  remember(name);
  set_environment_variable(name, value);
}

void ScopedEnv::unset(const std::string& name) {
  remember(name);
  unset_environment_variable(name);
}

ScopedEnv::~ScopedEnv() {
  for (const auto& [name, value] : saved_) {
    if (value) {
      set_environment_variable(name, *value);
    } else {
      unset_environment_variable(name);
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
