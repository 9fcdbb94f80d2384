#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/registry.h"

/// The services of the system a run works with.
struct Platform {
  Registry& registry;
  /// Runs the OpenGL probe, which records the driver's strings in the open
  /// product key.
  std::function<void(RegistryKey product_key)> probe_opengl;
  /// Removes the browser control; false when it found no control cache or
  /// no removal service, and so removed nothing.
  std::function<bool(const char* control_file, const char* class_id)> remove_browser_control;
};

/// Exit statuses of a run.
enum ExitStatus { kExitSuccess = 0, kExitUsage = 1, kExitNoProductKey = 7 };

/// Runs the program with the arguments that follow its name; `out` receives
/// the document. Returns the exit status.
int run(const std::vector<std::string>& arguments, std::ostream& out, Platform& platform);
