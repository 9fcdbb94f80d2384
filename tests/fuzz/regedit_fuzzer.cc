// Parses arbitrary registry files; whatever parses must write back to a text
// that parses to the same file.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/regedit_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  RegeditFile file;
  if (!parse_regedit(text, file)) return 0;
  const std::string written = format_regedit(file);
  RegeditFile again;
  if (!parse_regedit(written, again) || format_regedit(again) != written) std::abort();
  for (const RegeditFile::Section& section : file.sections) file.find_section(section.path);
  return 0;
}
