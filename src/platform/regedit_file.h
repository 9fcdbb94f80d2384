#pragma once

#include <string>
#include <vector>

/// A registry export in the REGEDIT4 text format: "REGEDIT4", then sections
/// such as "[HKEY_LOCAL_MACHINE\SOFTWARE\...]" holding lines like
/// "Name"=dword:0000000a and "Name"="text". Lines this model does not
/// interpret are kept as they are, so a file read and written back loses
/// nothing.
struct RegeditFile {
  struct Line {
    /// False for a line kept verbatim (a comment, an unparsable line).
    bool is_value = false;
    /// The value's name, unescaped; empty for the default value "@".
    std::string name;
    /// For a value, everything after "="; otherwise the whole line.
    std::string text;
  };
  struct Section {
    /// The full key path, as written between the brackets.
    std::string path;
    std::vector<Line> lines;
  };
  std::vector<Section> sections;

  /// The section of `path`, compared without regard to ASCII case, or null.
  Section* find_section(const std::string& path);
};

/// Parses `text`; false when it does not start with the "REGEDIT4" line.
bool parse_regedit(const std::string& text, RegeditFile& file);

/// The file's text, ready to be written back.
std::string format_regedit(const RegeditFile& file);

/// `text` as a quoted REGEDIT4 string: "\" and quotes escaped, and so are
/// line ends and NULs, which would otherwise break the line structure.
std::string quote_regedit_string(const std::string& text);

/// Reads a quoted string starting at `text[pos]` (the opening quote);
/// on success stores its unescaped content and moves `pos` past the
/// closing quote.
bool unquote_regedit_string(const std::string& text, std::size_t& pos, std::string& content);

/// True when `a` and `b` are equal apart from the case of ASCII letters, as
/// the registry compares key and value names.
bool equal_nocase(const std::string& a, const std::string& b);
