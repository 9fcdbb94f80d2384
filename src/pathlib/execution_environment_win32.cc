// The process environment as Windows holds it. The system's own copy is
// read rather than the C library's, which cannot hold a variable whose value
// is empty.
#include <windows.h>

#include "pathlib/execution_environment.h"

namespace {

// True when `name` is set; its value then goes to `value`.
bool lookup(const std::string& name, std::string* value) {
  // No variable name holds "=": the system keeps entries such as "=C:=C:\"
  // that a name with "=" could match.
  if (name.empty() || name.find('=') != std::string::npos) return false;
  SetLastError(ERROR_SUCCESS);
  DWORD size = GetEnvironmentVariableA(name.c_str(), nullptr, 0);
  if (size == 0) {
    value->clear();
    return GetLastError() != ERROR_ENVVAR_NOT_FOUND;
  }
  // The value may change between the calls; the size given covers its NUL.
  for (;;) {
    value->assign(size, '\0');
    const DWORD length = GetEnvironmentVariableA(name.c_str(), &(*value)[0], size);
    if (length < size) {
      value->resize(length);
      return length > 0 || GetLastError() != ERROR_ENVVAR_NOT_FOUND;
    }
    size = length;
  }
}

}  // namespace

bool ExecutionEnvironment::has_environment_variable(const std::string& name) {
  std::string value;
  return lookup(name, &value);
}

std::string ExecutionEnvironment::get_environment_variable(const std::string& name) {
  std::string value;
  lookup(name, &value);
  return value;
}
