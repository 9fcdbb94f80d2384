// Test helpers that need the POSIX calls.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "support/system.h"

void set_environment_variable(const std::string& name, const std::string& value) {
  setenv(name.c_str(), value.c_str(), 1);
}

void unset_environment_variable(const std::string& name) { unsetenv(name.c_str()); }

// A bound socket: it has a name, and opening that name fails.
UnopenableFile::UnopenableFile(const std::string& path) {
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd < 0) return;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() < sizeof address.sun_path) {
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    made_ = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  }
  close(fd);
}

UnopenableFile::~UnopenableFile() = default;
