// Test helpers that need the Windows calls.
#include <windows.h>

#include "support/system.h"

// The system's copy of the environment, which the program reads; it holds
// variables with empty values too.
void set_environment_variable(const std::string& name, const std::string& value) {
  SetEnvironmentVariableA(name.c_str(), value.c_str());
}

void unset_environment_variable(const std::string& name) {
  SetEnvironmentVariableA(name.c_str(), nullptr);
}

// A file held open with no sharing allowed: every other open of it fails.
UnopenableFile::UnopenableFile(const std::string& path) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  handle_ = reinterpret_cast<std::uintptr_t>(file);
  made_ = true;
}

UnopenableFile::~UnopenableFile() {
  if (made_) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}
