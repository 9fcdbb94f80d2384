# Cross-compiles for 32-bit Windows with Debian's mingw-w64: the build
# players run.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(PREFGEN_MINGW_TRIPLE i686-w64-mingw32)
include("${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake")
