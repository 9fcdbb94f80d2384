# Installs the Debian packages a script needs when they are missing: with
# apt-get when running as root, otherwise by naming them and stopping.
# Usage: ensure_packages PACKAGE...
ensure_packages() {
  missing=""
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
      missing="$missing $package"
  done
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing Debian packages:$missing" >&2
    echo "Install them with: sudo apt-get install$missing" >&2
    exit 1
  fi
  echo "Installing$missing" >&2
  export DEBIAN_FRONTEND=noninteractive
  # A fresh machine may have no package lists yet.
  apt-get install -y --no-install-recommends $missing >&2 ||
    { apt-get update >&2 && apt-get install -y --no-install-recommends $missing >&2; }
}

# What building and testing the Linux programs needs.
BUILD_PACKAGES="cmake g++ ninja-build libgtest-dev libssl-dev openssl python3 python3-pytest"

# What the fuzzers need: clang and its libFuzzer runtime.
FUZZ_PACKAGES="clang-14 libclang-rt-14-dev"

# What the Windows builds need: the mingw-w64 cross compilers (POSIX thread
# model) and binutils, GoogleTest's sources, what building libcrypto from
# Debian's source package takes, and Wine64 with a virtual X display and
# Mesa for running the 64-bit build.
WINDOWS_PACKAGES="g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
  binutils-mingw-w64-x86-64 googletest dpkg-dev make perl wine64 xvfb xauth libgl1-mesa-dri
  libglx-mesa0"
