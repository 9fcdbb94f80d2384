#pragma once

#include <ostream>
#include "document/byte_buffer.h"
#include "pathlib/filename.h"

/// The DER SubjectPublicKeyInfo of the RSA key that signs extension files.
/// Each executable links the key it was configured with.
extern const unsigned char kExtensionPublicKey[162];

/// Writes the bytes of "xrc" in the current directory, unchanged, when
/// "xrc.sig" holds a valid signature of them; otherwise writes nothing.
/// Never reports anything.
void write_signed_extension(std::ostream& out);

/// The whole content of the file, read in chunks of 1024 bytes; empty when
/// the file cannot be opened or does not fit in memory.
ByteBuffer read_whole_file(const Filename& name);
