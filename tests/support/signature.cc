#include "support/signature.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>

// Generated from tests/keys/xrc-test-private.pem by the build.
extern const char kTestPrivateKeyPem[];

std::string test_key_signature(const std::string& bytes) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int digest_size = 0;
  if (!EVP_Digest(bytes.data(), bytes.size(), digest, &digest_size, EVP_md5(), nullptr)) {
    return std::string();
  }
  BIO* pem = BIO_new_mem_buf(kTestPrivateKeyPem, -1);
  EVP_PKEY* key = pem ? PEM_read_bio_PrivateKey(pem, nullptr, nullptr, nullptr) : nullptr;
  BIO_free(pem);
  EVP_PKEY_CTX* context = key ? EVP_PKEY_CTX_new(key, nullptr) : nullptr;
  std::string signature;
  std::size_t size = 0;
  // With no digest named, the key signs the 16 bytes as they are, with no
  // DigestInfo around them.
  if (context && EVP_PKEY_sign_init(context) > 0 &&
      EVP_PKEY_CTX_set_rsa_padding(context, RSA_PKCS1_PADDING) > 0 &&
      EVP_PKEY_sign(context, nullptr, &size, digest, digest_size) > 0) {
    signature.resize(size);
    if (EVP_PKEY_sign(context, reinterpret_cast<unsigned char*>(&signature[0]), &size, digest,
                      digest_size) > 0) {
      signature.resize(size);
    } else {
      signature.clear();
    }
  }
  EVP_PKEY_CTX_free(context);
  EVP_PKEY_free(key);
  return signature;
}
