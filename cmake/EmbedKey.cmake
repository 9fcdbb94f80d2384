# Writes a C++ source defining kExtensionPublicKey from a DER public key file,
# so that executables can differ by the key they trust and nothing else.
function(prefgen_embed_key key_file output)
  file(READ "${key_file}" hex HEX)
  string(LENGTH "${hex}" hex_length)
  if(NOT hex_length EQUAL 324)
    message(FATAL_ERROR "${key_file}: expected a 162-byte DER RSA public key")
  endif()
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  file(CONFIGURE OUTPUT "${output}" CONTENT
"// Generated from ${key_file} when the build was configured.
#include \"document/signed_extension.h\"

const unsigned char kExtensionPublicKey[162] = {${bytes}};
")
endfunction()
