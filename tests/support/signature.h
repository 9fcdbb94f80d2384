#pragma once

#include <string>

/// The signature of `bytes` by the tests' private key, as the signing tool
/// makes it (PKCS #1 v1.5 over the bare MD5 digest); empty on failure.
std::string test_key_signature(const std::string& bytes);
