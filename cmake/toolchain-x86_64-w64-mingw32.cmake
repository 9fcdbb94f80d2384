# Cross-compiles for 64-bit Windows with Debian's mingw-w64: the build that
# runs under Wine on this machine.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(PREFGEN_MINGW_TRIPLE x86_64-w64-mingw32)
include("${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake")
