#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "pathlib/filename.h"

/// An ordered list of directories in which files are looked up.
class DSearchPath {
 public:
  /// The files a search found, in the order of the search path.
  class Results {
   public:
    std::size_t get_num_files() const { return files_.size(); }
    /// The i-th file found; i runs from 0 to get_num_files() - 1.
    const Filename& get_file(std::size_t i) const { return files_[i]; }
    void add_file(const Filename& file) { files_.push_back(file); }
    void clear() { files_.clear(); }

   private:
    std::vector<Filename> files_;
  };

  /// Splits `path` into directories at any character of `separator`; an
  /// empty separator selects the default delimiters: blanks, tabs, line ends
  /// and ";". Empty pieces are skipped.
  explicit DSearchPath(const std::string& path, const std::string& separator = "");

  std::size_t get_num_directories() const { return directories_.size(); }

  /// The i-th directory without a trailing separator, or an empty text when
  /// the path has no such directory.
  const std::string& get_directory(std::size_t i) const;

  /// Adds to `results` each directory's file called `name` that exists, in
  /// the path's order; returns how many were added.
  std::size_t find_all_files(const Filename& name, Results& results) const;

 private:
  std::vector<std::string> directories_;
};
