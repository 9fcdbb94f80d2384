// File operations of Filename that differ between systems: the POSIX side.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "pathlib/filename.h"

bool Filename::exists() const {
  struct stat info;
  return !text_.empty() && stat(text_.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

namespace {

bool write_all(int fd, const std::string& bytes) {
  const char* next = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t written = write(fd, next, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    next += written;
    left -= static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

bool Filename::write_replacing(const std::string& bytes, Durability durability) const {
  if (text_.empty()) return false;
  struct stat info;
  mode_t mode;
  if (stat(text_.c_str(), &info) == 0) {
    // Replacing by rename would sidestep the file's own protection.
    if (S_ISDIR(info.st_mode) || access(text_.c_str(), W_OK) != 0) return false;
    mode = info.st_mode & 07777;
  } else {
    // What creating the file directly would have given it.
    const mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }

  std::string pattern = text_ + ".XXXXXX";
  std::vector<char> temp_name(pattern.begin(), pattern.end());
  temp_name.push_back('\0');
  const int fd = mkstemp(temp_name.data());
  if (fd < 0) return false;

  const bool written = fchmod(fd, mode) == 0 && write_all(fd, bytes) &&
                       (durability == Durability::kProcessCrash || fsync(fd) == 0);
  const bool closed = close(fd) == 0;
  if (!written || !closed || rename(temp_name.data(), text_.c_str()) != 0) {
    unlink(temp_name.data());
    return false;
  }
  return true;
}
