#include "settings/search_path.h"

#include "pathlib/execution_environment.h"

namespace {

std::string& cached_search_path() {
  static std::string cached;
  return cached;
}

const char kTokenWhitespace[] = " \t\n\v\f\r";
const char kTrimSet[] = " \t\r\f\n";

// The variable names that CONFIG_CONFIG's "configpath" directives list,
// separated by spaces; "CONFIG_PATH" when it has no such directive.
std::string search_variable_names() {
  const std::string config = ExecutionEnvironment::get_environment_variable("CONFIG_CONFIG");
  if (config.size() < 2) return "CONFIG_PATH";

  // The first character separates the words; a one-character word adds
  // itself to the name/value separators for the words that follow it.
  std::string name_value_separators = "=";
  std::string names;
  bool found = false;
  for (const std::string& word : split_words(config.substr(1), config.substr(0, 1))) {
    if (word.size() == 1) {
      name_value_separators += word;
      continue;
    }
    const std::size_t split = word.find_first_of(name_value_separators);
    if (split == std::string::npos || word.compare(0, split, "configpath") != 0) continue;
    if (found) names += ' ';
    names += word.substr(split + 1);
    found = true;
  }
  return found ? names : "CONFIG_PATH";
}

std::string compute_search_path() {
  std::string names = search_variable_names();
  if (names.empty()) return ".";

  std::string result;
  while (!names.empty()) {
    const std::size_t space = names.find(' ');
    const std::string name = names.substr(0, space);
    if (ExecutionEnvironment::has_environment_variable(name)) {
      result += ' ';
      result += ExecutionEnvironment::get_environment_variable(name);
    }
    names.erase(0, space);
    trim_whitespace(names);
  }
  // Tested before trimming: a variable that is set but blank gives an empty
  // path rather than ".".
  if (result.empty()) result = ".";
  trim_whitespace(result);
  return result;
}

}  // namespace

std::string get_config_search_path() {
  std::string& cached = cached_search_path();
  if (cached.empty()) cached = compute_search_path();
  return cached;
}

void forget_config_search_path() { cached_search_path().clear(); }

std::vector<std::string> split_words(const std::string& text, const std::string& separators) {
  std::vector<std::string> words;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of(separators, start);
    if (end == std::string::npos) end = text.size();
    const std::string piece = text.substr(start, end - start);
    const std::size_t token = piece.find_first_not_of(kTokenWhitespace);
    if (token == std::string::npos) {
      words.emplace_back();
    } else {
      const std::size_t token_end = piece.find_first_of(kTokenWhitespace, token);
      words.push_back(piece.substr(
          token, token_end == std::string::npos ? std::string::npos : token_end - token));
    }
    start = end + 1;
  }
  return words;
}

void trim_whitespace(std::string& text) {
  const std::size_t first = text.find_first_not_of(kTrimSet);
  if (first == std::string::npos) {
    text.clear();
    return;
  }
  text.erase(text.find_last_not_of(kTrimSet) + 1);
  text.erase(0, first);
}
