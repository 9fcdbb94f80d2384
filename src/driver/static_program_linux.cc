// Linked into the fully static Linux program only.
//
// The static crypto library can resolve host names and load shared objects,
// which the static C library supports only through shared libraries loaded
// at run time (and warns about at link time). This program does neither, so
// the linker routes those calls here (--wrap) and they fail.
#include <cstddef>

struct addrinfo;
struct hostent;

extern "C" {

void* __wrap_dlopen(const char*, int) { return nullptr; }

int __wrap_getaddrinfo(const char*, const char*, const addrinfo*, addrinfo** result) {
  *result = nullptr;
  return -4;  // EAI_FAIL
}

hostent* __wrap_gethostbyname(const char*) { return nullptr; }

}  // extern "C"
