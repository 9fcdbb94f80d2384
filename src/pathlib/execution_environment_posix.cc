// The process environment as the C library holds it.
#include "pathlib/execution_environment.h"

#include <cstdlib>

namespace {

const char* lookup(const std::string& name) {
  // No variable name holds "=": asking the C library for one would match
  // the front of an unrelated variable's "NAME=value" entry.
  if (name.empty() || name.find('=') != std::string::npos) return nullptr;
  return std::getenv(name.c_str());
}

}  // namespace

bool ExecutionEnvironment::has_environment_variable(const std::string& name) {
  return lookup(name) != nullptr;
}

std::string ExecutionEnvironment::get_environment_variable(const std::string& name) {
  const char* value = lookup(name);
  return value ? value : "";
}
