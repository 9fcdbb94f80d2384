#pragma once

#include <fstream>
#include <ostream>
#include <string>

/// A file name as the program passes it around. A name may carry the binary
/// mark, which opens its streams without newline translation.
class Filename {
 public:
  Filename() = default;
  Filename(std::string text) : text_(std::move(text)) {}
  Filename(const char* text) : text_(text) {}

  /// A name for `text` that carries the binary mark.
  static Filename binary_filename(const std::string& text);

  /// Gives the name the binary mark.
  void set_binary() { binary_ = true; }
  bool is_binary() const { return binary_; }

  /// The name's text, as given.
  const std::string& get_fullpath() const { return text_; }

  /// Replaces the extension of the last path component (adds one when it has
  /// none): "xrc" with "sig" becomes "xrc.sig", "a.txt" becomes "a.sig".
  void set_extension(const std::string& extension);

  /// True when something other than a directory exists under this name.
  bool exists() const;

  /// Opens `in` on the file; true on success.
  bool open_read(std::ifstream& in) const;

  /// Opens `out` on the file, emptying it first when `truncate` is true and
  /// appending otherwise; true on success.
  bool open_write(std::ofstream& out, bool truncate) const;

  /// How far write_replacing() goes to keep the new contents.
  enum class Durability {
    /// Survives the process dying at any point.
    kProcessCrash,
    /// Also survives the system going down: the data reaches the disk before
    /// the rename.
    kSystemCrash,
  };

  /// Replaces the file's contents with `bytes` so that the file holds either
  /// its old or its new contents at every moment: writes a temporary file
  /// beside it and renames that over the name. An existing file that may not
  /// be written is left alone. True when the new contents are in place.
  bool write_replacing(const std::string& bytes,
                       Durability durability = Durability::kSystemCrash) const;

  /// Writes the name's text to `out`, as messages show it.
  void output(std::ostream& out) const { out << text_; }

 private:
  std::string text_;
  bool binary_ = false;
};

inline std::ostream& operator<<(std::ostream& out, const Filename& name) {
  name.output(out);
  return out;
}
