#include "pathlib/dsearch_path.h"

namespace {

const char kDefaultDelimiters[] = " \t\r\n;";

// "dir/" and "dir//" name the same directory as "dir"; a lone "/" stays.
std::string without_trailing_separators(std::string directory) {
  while (directory.size() > 1 && (directory.back() == '/' || directory.back() == '\\')) {
    directory.pop_back();
  }
  return directory;
}

}  // namespace

DSearchPath::DSearchPath(const std::string& path, const std::string& separator) {
  const std::string& delimiters = separator.empty() ? std::string(kDefaultDelimiters) : separator;
  std::size_t start = 0;
  while (start < path.size()) {
    std::size_t end = path.find_first_of(delimiters, start);
    if (end == std::string::npos) end = path.size();
    if (end > start) {
      directories_.push_back(without_trailing_separators(path.substr(start, end - start)));
    }
    start = end + 1;
  }
}

const std::string& DSearchPath::get_directory(std::size_t i) const {
  static const std::string kNone;
  return i < directories_.size() ? directories_[i] : kNone;
}

std::size_t DSearchPath::find_all_files(const Filename& name, Results& results) const {
  std::size_t found = 0;
  for (const std::string& directory : directories_) {
    Filename candidate(directory + "/" + name.get_fullpath());
    if (name.is_binary()) candidate.set_binary();
    if (candidate.exists()) {
      results.add_file(candidate);
      ++found;
    }
  }
  return found;
}
