#include "platform/regedit_file.h"

namespace {

const char kSignature[] = "REGEDIT4";

char fold(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// The file's lines without their line ends; a line ending in a backslash
// continues on the next non-empty one (long hex data), and is kept joined.
std::vector<std::string> logical_lines(const std::string& text) {
  std::vector<std::string> lines;
  bool continuing = false;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    while (!line.empty() && line.back() == '\r') line.pop_back();
    start = end + 1;

    if (continuing && !line.empty()) {
      lines.back() += '\n';
      lines.back() += line;
    } else {
      lines.push_back(line);
    }
    continuing = !lines.back().empty() && lines.back().back() == '\\';
  }
  return lines;
}

RegeditFile::Line parse_line(const std::string& line) {
  RegeditFile::Line parsed;
  parsed.text = line;
  std::string name;
  std::size_t pos = 0;
  if (line.compare(0, 2, "@=") == 0) {
    pos = 1;
  } else if (line.empty() || line[0] != '"' || !unquote_regedit_string(line, pos, name)) {
    return parsed;
  }
  if (pos >= line.size() || line[pos] != '=') return parsed;
  parsed.is_value = true;
  parsed.name = name;
  parsed.text = line.substr(pos + 1);
  return parsed;
}

}  // namespace

bool equal_nocase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

RegeditFile::Section* RegeditFile::find_section(const std::string& path) {
  if (path.empty()) return nullptr;
  for (Section& section : sections) {
    if (equal_nocase(section.path, path)) return &section;
  }
  return nullptr;
}

bool parse_regedit(const std::string& text, RegeditFile& file) {
  const std::vector<std::string> lines = logical_lines(text);
  if (lines.empty() || lines[0] != kSignature) return false;

  file.sections.clear();
  // Lines ahead of the first key go into a section without a path.
  file.sections.emplace_back();
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line.empty()) continue;
    if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
      file.sections.emplace_back();
      file.sections.back().path = line.substr(1, line.size() - 2);
    } else {
      file.sections.back().lines.push_back(parse_line(line));
    }
  }
  return true;
}

std::string format_regedit(const RegeditFile& file) {
  std::string text = std::string(kSignature) + "\n\n";
  for (const RegeditFile::Section& section : file.sections) {
    if (section.path.empty() && section.lines.empty()) continue;
    if (!section.path.empty()) text += "[" + section.path + "]\n";
    for (std::size_t i = 0; i < section.lines.size(); ++i) {
      const RegeditFile::Line& line = section.lines[i];
      if (line.is_value) text += (line.name.empty() ? "@" : quote_regedit_string(line.name)) + "=";
      text += line.text + "\n";
      // A line that ends in a backslash would run on into the next one; an
      // empty line ends it, as it did where it was read.
      if (!line.text.empty() && line.text.back() == '\\' && i + 1 < section.lines.size()) {
        text += "\n";
      }
    }
    text += "\n";
  }
  return text;
}

std::string quote_regedit_string(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    switch (c) {
      case '\\':
        quoted += "\\\\";
        break;
      case '"':
        quoted += "\\\"";
        break;
      case '\n':
        quoted += "\\n";
        break;
      case '\r':
        quoted += "\\r";
        break;
      case '\0':
        quoted += "\\0";
        break;
      default:
        quoted += c;
    }
  }
  return quoted + "\"";
}

bool unquote_regedit_string(const std::string& text, std::size_t& pos, std::string& content) {
  if (pos >= text.size() || text[pos] != '"') return false;
  std::string result;
  for (std::size_t i = pos + 1; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') {
      content = result;
      pos = i + 1;
      return true;
    }
    if (c != '\\' || i + 1 == text.size()) {
      result += c;
      continue;
    }
    const char escaped = text[++i];
    switch (escaped) {
      case 'n':
        result += '\n';
        break;
      case 'r':
        result += '\r';
        break;
      case '0':
        result += '\0';
        break;
      case '\\':
      case '"':
        result += escaped;
        break;
      default:
        result += '\\';
        result += escaped;
    }
  }
  return false;
}
