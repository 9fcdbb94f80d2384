# Points find_package(OpenSSL) at a libcrypto built for the mingw-w64 target.
# Debian ships none, so scripts/lib/openssl-mingw.sh builds one from Debian's
# source package into a cache outside the build tree (once per version and
# target) and names its directory. A given OPENSSL_ROOT_DIR is used as is.
if(NOT OPENSSL_ROOT_DIR AND PREFGEN_MINGW_TRIPLE)
  string(REGEX MATCH "^[^-]+" prefgen_openssl_arch "${PREFGEN_MINGW_TRIPLE}")
  execute_process(
    COMMAND sh "${PROJECT_SOURCE_DIR}/scripts/lib/openssl-mingw.sh" "${prefgen_openssl_arch}"
    OUTPUT_VARIABLE prefgen_openssl_prefix
    OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE prefgen_openssl_result)
  if(NOT prefgen_openssl_result EQUAL 0)
    message(FATAL_ERROR "Could not build libcrypto for ${PREFGEN_MINGW_TRIPLE}")
  endif()
  # A new source version lands in a new directory: forget what was found in
  # the old one.
  if(NOT prefgen_openssl_prefix STREQUAL PREFGEN_OPENSSL_PREFIX)
    unset(OPENSSL_INCLUDE_DIR CACHE)
    unset(OPENSSL_CRYPTO_LIBRARY CACHE)
    unset(OPENSSL_SSL_LIBRARY CACHE)
    set(PREFGEN_OPENSSL_PREFIX "${prefgen_openssl_prefix}" CACHE INTERNAL
        "Where the cross-built libcrypto was found")
  endif()
  set(OPENSSL_ROOT_DIR "${prefgen_openssl_prefix}")
endif()
# Searches are confined to the sysroot and the prefixes listed here.
if(OPENSSL_ROOT_DIR)
  list(APPEND CMAKE_FIND_ROOT_PATH "${OPENSSL_ROOT_DIR}")
endif()
