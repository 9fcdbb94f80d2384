#pragma once

#include <cstdint>

/// A library loaded at run time (HMODULE); 0 for none.
using LibraryHandle = std::uintptr_t;
/// An entry point taken from a loaded library (FARPROC); 0 for none.
using ProcAddress = std::uintptr_t;

/// The last-error code LoadLibraryA leaves when the library is not on the
/// machine (ERROR_MOD_NOT_FOUND).
constexpr std::uint32_t kErrorModNotFound = 126;
