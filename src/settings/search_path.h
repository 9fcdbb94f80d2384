#pragma once

#include <string>
#include <vector>

/// The configuration search path: directories separated by spaces, taken
/// from the variables that CONFIG_CONFIG's "configpath" directives name, or
/// from CONFIG_PATH, or "." when none of them is set. Computed once per
/// process; an empty result is not kept and is computed again next time.
std::string get_config_search_path();

/// Forgets the computed search path, so the next call reads the environment
/// again. Only tests need this.
void forget_config_search_path();

/// The words of `text` between the characters of `separators`: of each
/// piece, its first whitespace-delimited token (empty when it has none).
/// A separator at the end gives no further word.
std::vector<std::string> split_words(const std::string& text, const std::string& separators);

/// Removes blanks, tabs, carriage returns, form feeds and line feeds from
/// both ends of `text`.
void trim_whitespace(std::string& text);
