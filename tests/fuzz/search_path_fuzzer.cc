// Computes the search path from arbitrary CONFIG_CONFIG and variable values.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "pathlib/dsearch_path.h"
#include "settings/search_path.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The input is CONFIG_CONFIG, then the values of CONFIG_PATH, A and B,
  // separated by NUL bytes.
  std::string fields[4];
  std::size_t field = 0;
  for (std::size_t i = 0; i < size && field < 4; ++i) {
    if (data[i] == 0) {
      ++field;
    } else {
      fields[field] += static_cast<char>(data[i]);
    }
  }
  const char* names[4] = {"CONFIG_CONFIG", "CONFIG_PATH", "A", "B"};
  for (int i = 0; i < 4; ++i) {
    if (fields[i].empty() && i > 1) {
      unsetenv(names[i]);
    } else {
      setenv(names[i], fields[i].c_str(), 1);
    }
  }
  forget_config_search_path();
  const std::string path = get_config_search_path();
  std::string trimmed = path;
  trim_whitespace(trimmed);
  if (trimmed != path) std::abort();
  const DSearchPath directories(path);
  directories.get_directory(0);
  split_words(fields[0], fields[1].empty() ? ";" : fields[1].substr(0, 3));
  return 0;
}
