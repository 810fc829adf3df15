# Cross-compiles for 64-bit Windows with Debian's mingw-w64 compilers.
# The POSIX-threads variants are used because Qt needs std::thread and friends.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VORSELL_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VORSELL_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VORSELL_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VORSELL_MINGW_TRIPLET}-windres)

# Headers and libraries come from the mingw sysroot (and from whatever is
# prepended to CMAKE_FIND_ROOT_PATH, such as a Qt built for Windows); programs
# run during the build come from the host.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${VORSELL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
