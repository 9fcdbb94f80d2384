#!/bin/sh
# Builds a static libcrypto for Windows with a mingw-w64 cross compiler, from
# Debian's OpenSSL source package, and prints the directory it is installed
# in (include/ and lib/libcrypto.a). Debian ships no Windows build of it.
#
# Usage: scripts/lib/openssl-mingw.sh i686|x86_64
#
# The build lands in a cache outside the clone, keyed by the source version
# and the target, so a machine that is kept builds it once:
# $PREFGEN_CACHE_DIR, or /var/cache/prefgen when run as root, or
# ${XDG_CACHE_HOME:-~/.cache}/prefgen. All messages go to standard error.
set -eu

case "${1:-}" in
  i686) configure_target=mingw ;;
  x86_64) configure_target=mingw64 ;;
  *)
    echo "usage: $0 i686|x86_64" >&2
    exit 2
    ;;
esac
target=$1
cross_prefix=$target-w64-mingw32-

if [ -n "${PREFGEN_CACHE_DIR:-}" ]; then
  cache=$PREFGEN_CACHE_DIR
elif [ "$(id -u)" -eq 0 ]; then
  cache=/var/cache/prefgen
else
  cache=${XDG_CACHE_HOME:-$HOME/.cache}/prefgen
fi
mkdir -p "$cache"

source_list=/etc/apt/sources.list.d/prefgen-deb-src.sources

# The release's own source package: the security archive's sources are not
# reachable from every machine that builds this.
suite=bookworm

# The version apt would fetch, read from the local package lists without
# touching the network.
source_version() {
  apt-get source --print-uris -qq "openssl/$suite" 2>/dev/null |
    sed -n "s/.*[/]openssl_\([^']*\)\.dsc'.*/\1/p" | sed 's/%7[eE]/~/g' | head -n 1
}

version=$(source_version)
if [ -z "$version" ]; then
  if [ "$(id -u)" -ne 0 ]; then
    # Without source lists, an earlier build is as good as any.
    for ready in "$cache"/openssl-*-"$target"/.complete; do
      [ -e "$ready" ] && { dirname "$ready"; exit 0; }
    done
    echo "No OpenSSL source package known to apt; as root, run $0 once" >&2
    exit 1
  fi
  if [ ! -e "$source_list" ]; then
    # The release's archive, for source packages.
    cat >"$source_list" <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  fi
  apt-get update -qq >&2
  version=$(source_version)
  [ -n "$version" ] || { echo "apt knows no OpenSSL source package" >&2; exit 1; }
fi

prefix=$cache/openssl-$version-$target
if [ -e "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

# One build per prefix at a time; whoever waited finds it done.
exec 9>"$prefix.lock"
flock 9
if [ -e "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

work=$(mktemp -d "$cache/build-openssl-$target.XXXXXX")
# Readable by apt's download user.
chmod 755 "$work"
trap 'rm -rf "$work"' EXIT
echo "Building libcrypto $version for $target-w64-mingw32 (a few minutes, once)" >&2
# The compiler's chatter goes to a log, shown only when the build fails.
if ! (
  cd "$work"
  apt-get source -qq "openssl/$suite"
  cd openssl-*/
  # no-asm: the cross assembler dialect is not worth the trouble for the
  # few signature checks the program makes.
  ./Configure "$configure_target" --cross-compile-prefix="$cross_prefix" \
    --prefix="$prefix" --libdir=lib \
    no-shared no-tests no-asm no-module no-dso no-engine
  make -j "$(nproc)" build_libs
  rm -rf "$prefix"
  make install_dev
) >"$work/build.log" 2>&1; then
  tail -n 40 "$work/build.log" >&2
  echo "libcrypto build for $target failed" >&2
  exit 1
fi
touch "$prefix/.complete"
echo "$prefix"
