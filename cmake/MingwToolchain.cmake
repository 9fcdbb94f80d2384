# The parts the two mingw-w64 toolchain files share. Expects
# PREFGEN_MINGW_TRIPLE (for example x86_64-w64-mingw32).
#
# Debian ships each mingw-w64 compiler with two thread models; the POSIX one
# is used throughout, so every object and library agrees on one C++ runtime.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${PREFGEN_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PREFGEN_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${PREFGEN_MINGW_TRIPLE}-windres)

# Headers and libraries come from the cross sysroot (and the prefixes added
# to this list later, such as the cross-built libcrypto); programs from the
# build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${PREFGEN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
