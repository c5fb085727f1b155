# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 compilers (the posix thread model,
# which std::thread and Qt need).
#
# The libraries built for Windows by tools/windows/build-deps.sh live in one prefix each; their
# list comes from, in this order:
#   - the cache variable or environment variable ZELVO_WINDOWS_PREFIXES (a ;-separated list),
#   - the file prefixes.txt that build-deps.sh writes into its cache folder, which is
#     ZELVO_WINDOWS_CACHE (cache or environment variable) or else
#     ${XDG_CACHE_HOME:-$HOME/.cache}/zelvo-windows.
# Everything is searched only in those prefixes and the MinGW sysroot, never on the build machine,
# programs excepted (moc and the other host tools run here).

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_zelvo_triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_zelvo_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_zelvo_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_zelvo_triple}-windres)
set(CMAKE_AR ${_zelvo_triple}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${_zelvo_triple}-ranlib CACHE FILEPATH "")

# The toolchain file is read again for every try_compile, where only the environment and the
# variables named here come along.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ZELVO_WINDOWS_PREFIXES ZELVO_WINDOWS_CACHE)

if(NOT ZELVO_WINDOWS_PREFIXES AND DEFINED ENV{ZELVO_WINDOWS_PREFIXES})
  set(ZELVO_WINDOWS_PREFIXES "$ENV{ZELVO_WINDOWS_PREFIXES}")
endif()
if(NOT ZELVO_WINDOWS_PREFIXES)
  if(NOT ZELVO_WINDOWS_CACHE)
    if(DEFINED ENV{ZELVO_WINDOWS_CACHE})
      set(ZELVO_WINDOWS_CACHE "$ENV{ZELVO_WINDOWS_CACHE}")
    elseif(DEFINED ENV{XDG_CACHE_HOME} AND NOT "$ENV{XDG_CACHE_HOME}" STREQUAL "")
      set(ZELVO_WINDOWS_CACHE "$ENV{XDG_CACHE_HOME}/zelvo-windows")
    else()
      set(ZELVO_WINDOWS_CACHE "$ENV{HOME}/.cache/zelvo-windows")
    endif()
  endif()
  if(EXISTS "${ZELVO_WINDOWS_CACHE}/prefixes.txt")
    file(STRINGS "${ZELVO_WINDOWS_CACHE}/prefixes.txt" ZELVO_WINDOWS_PREFIXES)
  endif()
endif()
# Keep the list for the try_compile projects, which see the environment of this process.
set(ENV{ZELVO_WINDOWS_PREFIXES} "${ZELVO_WINDOWS_PREFIXES}")

set(CMAKE_FIND_ROOT_PATH /usr/${_zelvo_triple} ${ZELVO_WINDOWS_PREFIXES})
list(APPEND CMAKE_PREFIX_PATH ${ZELVO_WINDOWS_PREFIXES})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The prefixes hold static libraries only.
set(CMAKE_FIND_LIBRARY_SUFFIXES .a .lib)

# pkg-config of the build machine, reading the prefixes' .pc files alone.
set(_zelvo_pc_dirs "")
foreach(_p IN LISTS ZELVO_WINDOWS_PREFIXES)
  list(APPEND _zelvo_pc_dirs "${_p}/lib/pkgconfig" "${_p}/share/pkgconfig")
endforeach()
string(REPLACE ";" ":" _zelvo_pc_dirs "${_zelvo_pc_dirs}")
set(ENV{PKG_CONFIG_LIBDIR} "${_zelvo_pc_dirs}")
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
set(PKG_CONFIG_EXECUTABLE /usr/bin/pkg-config CACHE FILEPATH "")

# One self-contained zelvo.exe: libgcc, libstdc++ and winpthread linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")

# The build machine's rcc compresses with zstd where it can, and the generated code then calls
# qResourceFeatureZstd(), which a Qt built without zstd lacks.
set(CMAKE_AUTORCC_OPTIONS --no-zstd)
