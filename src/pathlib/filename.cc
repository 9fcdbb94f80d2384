#include "pathlib/filename.h"

Filename Filename::binary_filename(const std::string& text) {
  Filename name(text);
  name.set_binary();
  return name;
}

void Filename::set_extension(const std::string& extension) {
  const std::size_t component = text_.find_last_of("/\\");
  const std::size_t base = component == std::string::npos ? 0 : component + 1;
  const std::size_t dot = text_.rfind('.');
  // A leading dot names a hidden file, not an extension.
  if (dot != std::string::npos && dot > base) text_.erase(dot);
  text_ += '.';
  text_ += extension;
}

bool Filename::open_read(std::ifstream& in) const {
  std::ios::openmode mode = std::ios::in;
  if (binary_) mode |= std::ios::binary;
  in.open(text_, mode);
  return in.is_open();
}

bool Filename::open_write(std::ofstream& out, bool truncate) const {
  std::ios::openmode mode = std::ios::out | (truncate ? std::ios::trunc : std::ios::app);
  if (binary_) mode |= std::ios::binary;
  out.open(text_, mode);
  return out.is_open();
}
