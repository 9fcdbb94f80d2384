#pragma once

#include <ostream>
#include <string>

#include "pathlib/filename.h"

/// The DER SubjectPublicKeyInfo of the RSA key that signs extension files.
/// Each executable links the key it was configured with.
extern const unsigned char kExtensionPublicKey[162];

/// Writes the bytes of "xrc" in the current directory, unchanged, when
/// "xrc.sig" holds a valid signature of them; otherwise writes nothing.
/// Never reports anything.
void write_signed_extension(std::ostream& out);

/// The whole content of the file, or an empty text when it cannot be opened.
std::string read_whole_file(const Filename& name);
