#include "platform/activex_remover.h"

#include <algorithm>
#include <cstring>
#include <iostream>

namespace {

const char kInternetSettingsKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
const char kCacheDirectoryValue[] = "ActiveXCache";
const std::uint32_t kCacheDirectorySize = 512;
const std::uint32_t kExclamationOk = 0x30;  // MB_OK | MB_ICONEXCLAMATION
const char kLockedText[] =
    "Please close all Internet Explorer browser windows, then press OK to continue Zindara "
    "un-installation.";
const char kLockedCaption[] = "Zindara Uninstaller";

bool hidden(const FindData& entry) { return !entry.name.empty() && entry.name[0] == '.'; }

bool is_directory(const FindData& entry) {
  return (entry.attributes & kFileAttributeDirectory) != 0;
}

bool removal_failed(const char* control_file) {
  std::cerr << "Error uninstalling " << control_file << "!\n";
  return false;
}

}  // namespace

void RecursiveFileSearch(ControlCacheLayer& layer, const std::string& directory,
                         const std::string& pattern, std::vector<std::string>& list) {
  FindData entry;
  SearchHandle search = layer.find_first_file((directory + "\\" + pattern).c_str(), &entry);
  if (search == kInvalidSearchHandle) return;
  do {
    if (!hidden(entry) && !is_directory(entry)) list.push_back(directory + "\\" + entry.name);
  } while (layer.find_next_file(search, &entry));
  layer.find_close(search);

  search = layer.find_first_file((directory + "\\*").c_str(), &entry);
  if (search == kInvalidSearchHandle) return;
  do {
    if (is_directory(entry) && !hidden(entry)) {
      RecursiveFileSearch(layer, directory + "\\" + entry.name, pattern, list);
    }
  } while (layer.find_next_file(search, &entry));
  layer.find_close(search);
}

bool ActiveXRemover(Registry& registry, ControlCacheLayer& layer, const char* control_file,
                    const char* class_id) {
  RegistryKey key;
  if (!registry.open_local_machine_key(kInternetSettingsKey, RegistryAccess::kRead, &key)) {
    return removal_failed(control_file);
  }
  char buffer[kCacheDirectorySize];
  std::uint32_t size = sizeof buffer;
  if (!registry.query_value(key, kCacheDirectoryValue, buffer, &size)) {
    registry.close_key(key);
    return removal_failed(control_file);
  }
  // The text up to its NUL, or all the data when it was stored without one.
  const std::string cache_directory(buffer, std::find(buffer, buffer + size, '\0'));
  registry.close_key(key);

  const LibraryHandle service = layer.load_library("occache.dll");
  if (!service) return removal_failed(control_file);
  const ProcAddress remove_control = layer.get_proc_address(service, "RemoveControlByName");
  if (!remove_control) {
    layer.free_library(service);
    return removal_failed(control_file);
  }

  const std::string braced_class_id = std::string("{") + class_id + "}";
  // The file name less its ".dll".
  const std::size_t length = std::strlen(control_file);
  const std::string base_name(control_file, length > 4 ? length - 4 : length);

  std::vector<std::string> copies;
  RecursiveFileSearch(layer, cache_directory, control_file, copies);
  for (const std::string& copy : copies) {
    layer.remove_control_by_name(remove_control, copy.c_str(), braced_class_id.c_str(), nullptr, 1,
                                 1);
  }
  layer.free_library(service);

  // Taken only now, so that it holds just what the service left behind.
  std::vector<std::string> remaining;
  RecursiveFileSearch(layer, cache_directory, base_name + "*", remaining);
  for (const std::string& file : remaining) {
    if (layer.delete_file(file.c_str())) continue;
    const std::uint32_t error = layer.get_last_error();
    if (error == kErrorAccessDenied || error == kErrorSharingViolation) {
      layer.message_box(kLockedText, kLockedCaption, kExclamationOk);
      layer.delete_file(file.c_str());
    }
  }
  return true;
}
