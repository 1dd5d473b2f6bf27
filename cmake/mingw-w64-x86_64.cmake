# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (the -posix compilers, whose C++ library has
# std::thread). Used for the SDL family built from source and for Duelfall itself; scripts/windows.sh
# passes DUELFALL_WINDOWS_PREFIX, the directory those dependencies are installed into.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)

# Search only the Windows sysroot and the dependency prefix, never the Linux system's libraries.
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
if(DUELFALL_WINDOWS_PREFIX)
  list(APPEND CMAKE_FIND_ROOT_PATH ${DUELFALL_WINDOWS_PREFIX})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Programs carry the C and C++ runtimes and winpthread inside them, so that only the SDL DLLs ship
# beside them; the DLLs themselves do not depend on the compiler's libgcc DLL.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc")
