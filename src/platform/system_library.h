#pragma once

#include <cstdint>

/// A library loaded at run time (HMODULE); 0 for none.
using LibraryHandle = std::uintptr_t;
/// An entry point taken from a loaded library (FARPROC); 0 for none.
using ProcAddress = std::uintptr_t;

/// The last-error code LoadLibraryA leaves when the library is not on the
/// machine (ERROR_MOD_NOT_FOUND).
constexpr std::uint32_t kErrorModNotFound = 126;

/// The calls of every layer that loads a system library at run time:
/// LoadLibraryA, GetProcAddress, FreeLibrary and GetLastError.
class SystemLibraryCalls {
 public:
  virtual ~SystemLibraryCalls() = default;

  /// LoadLibraryA: loads the library `name`; 0 when it cannot be loaded.
  virtual LibraryHandle load_library(const char* name) = 0;
  /// GetProcAddress: the entry point `name` of `library`; 0 when missing.
  virtual ProcAddress get_proc_address(LibraryHandle library, const char* name) = 0;
  /// FreeLibrary: unloads `library`.
  virtual void free_library(LibraryHandle library) = 0;
  /// GetLastError: the thread's last-error code.
  virtual std::uint32_t get_last_error() = 0;
};
