#include "document/signed_extension.h"

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/md5.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>

#include <cstring>
#include <limits>
#include <vector>

namespace {

// True when `signature` is the RSA signature of the bare MD5 digest of
// `content` (PKCS #1 v1.5 block type 01, no DigestInfo) under the built-in key.
bool is_signed(const ByteBuffer& content, const ByteBuffer& signature) {
  unsigned char digest[MD5_DIGEST_LENGTH];
  MD5(reinterpret_cast<const unsigned char*>(content.data()), content.size(), digest);

  BIO* key_source = BIO_new_mem_buf(kExtensionPublicKey, sizeof kExtensionPublicKey);
  if (!key_source) return false;
  EVP_PKEY* public_key = d2i_PUBKEY_bio(key_source, nullptr);
  BIO_free(key_source);
  if (!public_key) return false;
  RSA* rsa = EVP_PKEY_get1_RSA(public_key);
  EVP_PKEY_free(public_key);
  if (!rsa) return false;

  std::vector<unsigned char> decrypted(static_cast<std::size_t>(RSA_size(rsa)));
  const int count = RSA_public_decrypt(static_cast<int>(signature.size()),
                                       reinterpret_cast<const unsigned char*>(signature.data()),
                                       decrypted.data(), rsa, RSA_PKCS1_PADDING);
  RSA_free(rsa);
  return count == MD5_DIGEST_LENGTH && std::memcmp(decrypted.data(), digest, count) == 0;
}

}  // namespace

void write_signed_extension(std::ostream& out) {
  const Filename extension = Filename::binary_filename("xrc");
  if (!extension.exists()) return;
  Filename signature_name = Filename::binary_filename(extension.get_fullpath());
  signature_name.set_extension("sig");
  if (!signature_name.exists()) return;

  const ByteBuffer content = read_whole_file(extension);
  const ByteBuffer signature = read_whole_file(signature_name);
  if (content.empty() || signature.empty()) return;
  // RSA_public_decrypt takes the length as an int.
  if (signature.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) return;
  if (!is_signed(content, signature)) return;
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

ByteBuffer read_whole_file(const Filename& name) {
  const std::size_t kChunk = 1024;
  // A stream buffer much larger than a chunk keeps system calls few.
  std::vector<char> stream_buffer(64 * 1024);
  std::ifstream in;
  in.rdbuf()->pubsetbuf(stream_buffer.data(), static_cast<std::streamsize>(stream_buffer.size()));
  ByteBuffer content;
  if (!name.open_read(in)) return content;
  for (;;) {
    char* room = content.prepare(kChunk);
    if (!room) return ByteBuffer();
    in.read(room, kChunk);
    const std::streamsize delivered = in.gcount();
    if (delivered <= 0) break;
    content.commit(static_cast<std::size_t>(delivered));
  }
  return content;
}
