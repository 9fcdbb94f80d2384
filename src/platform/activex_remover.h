#pragma once

#include <string>
#include <vector>

#include "platform/control_cache_layer.h"
#include "platform/registry.h"

/// Removes the browser control `control_file` (a name ending in ".dll")
/// with class identifier `class_id` (without braces): asks the control cache
/// service to remove each copy in the cache directory tree, then deletes the
/// files left there whose names start with the control's base name, asking
/// the user to close the browser when one is locked. False when the cache
/// directory or the service is unavailable: then "Error uninstalling
/// <control_file>!" is on std::cerr, nothing was removed, and the run is to
/// end with exit status 1.
bool ActiveXRemover(Registry& registry, ControlCacheLayer& layer, const char* control_file,
                    const char* class_id);

/// Appends to `list` the full path (directory + "\" + name) of every file in
/// `directory` that matches the system file-name `pattern` and does not
/// start with ".", then does the same in each subdirectory not starting
/// with "."; a directory where the pattern matches nothing is not descended.
void RecursiveFileSearch(ControlCacheLayer& layer, const std::string& directory,
                         const std::string& pattern, std::vector<std::string>& list);
