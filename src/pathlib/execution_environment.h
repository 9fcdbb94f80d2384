#pragma once

#include <string>

/// The process environment.
class ExecutionEnvironment {
 public:
  /// True when a variable called `name` is set (possibly to an empty value).
  static bool has_environment_variable(const std::string& name);
  /// The value of the variable called `name`; empty when it is not set.
  static std::string get_environment_variable(const std::string& name);
};
