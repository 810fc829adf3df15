# Provides the target Vorsell::sodium.
#
# On Windows (cross-built with mingw) libsodium is the static library that
# scripts/windows builds from Debian's source; VORSELL_SODIUM_DIR names the
# folder it was installed to. Elsewhere it is the system's, found through
# pkg-config (Debian: libsodium-dev).
if(TARGET Vorsell::sodium)
    return()
endif()

if(WIN32)
    set(VORSELL_SODIUM_DIR "" CACHE PATH "Where libsodium for this target is installed")
    find_path(SODIUM_INCLUDE_DIR sodium.h
        HINTS ${VORSELL_SODIUM_DIR}/include NO_CMAKE_FIND_ROOT_PATH)
    find_library(SODIUM_LIBRARY NAMES libsodium.a sodium
        HINTS ${VORSELL_SODIUM_DIR}/lib NO_CMAKE_FIND_ROOT_PATH)
    if(NOT SODIUM_INCLUDE_DIR OR NOT SODIUM_LIBRARY)
        message(FATAL_ERROR "libsodium was not found; set VORSELL_SODIUM_DIR (scripts/windows does)")
    endif()
    add_library(Vorsell::sodium STATIC IMPORTED GLOBAL)
    set_target_properties(Vorsell::sodium PROPERTIES
        IMPORTED_LOCATION ${SODIUM_LIBRARY}
        INTERFACE_INCLUDE_DIRECTORIES ${SODIUM_INCLUDE_DIR}
        INTERFACE_COMPILE_DEFINITIONS SODIUM_STATIC)
else()
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(sodium REQUIRED IMPORTED_TARGET GLOBAL libsodium)
    add_library(Vorsell::sodium ALIAS PkgConfig::sodium)
endif()
