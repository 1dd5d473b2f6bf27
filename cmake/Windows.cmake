# Windows-only parts of the build (included from the top-level CMakeLists.txt when WIN32): the game's
# icon and version information as a resource, a window-only game, and what the test programs need
# from POSIX. scripts/windows.sh drives this with the mingw-w64 toolchain in this folder.

set(DUELFALL_VERSION "${PROJECT_VERSION}" CACHE STRING "Version written into the Windows executable")
string(REGEX MATCHALL "[0-9]+" version_parts "${DUELFALL_VERSION}")
list(APPEND version_parts 0 0 0 0)
list(SUBLIST version_parts 0 4 version_parts)
string(JOIN "," DUELFALL_VERSION_COMMAS ${version_parts})
string(JOIN "." DUELFALL_VERSION_DOTS ${version_parts})

enable_language(RC)
set(DUELFALL_ICON ${CMAKE_SOURCE_DIR}/data/icon/duelfall.ico)
set(DUELFALL_MANIFEST ${CMAKE_BINARY_DIR}/duelfall.manifest)
configure_file(${CMAKE_CURRENT_LIST_DIR}/windows/duelfall.manifest ${DUELFALL_MANIFEST} @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/windows/duelfall.rc.in ${CMAKE_BINARY_DIR}/duelfall.rc @ONLY)

if(TARGET duelfall)
  target_sources(duelfall PRIVATE ${CMAKE_BINARY_DIR}/duelfall.rc)
  set_source_files_properties(${CMAKE_BINARY_DIR}/duelfall.rc PROPERTIES OBJECT_DEPENDS "${DUELFALL_ICON};${DUELFALL_MANIFEST}")
  # A game, not a console program: no console window opens beside it.
  set_target_properties(duelfall PROPERTIES WIN32_EXECUTABLE TRUE)
endif()

# SDL renames a program's main to SDL_main on Windows; SDL2main supplies the real entry that calls it.
if(TARGET duelfall-sim)
  target_link_libraries(duelfall-sim PRIVATE SDL2::SDL2main)
endif()
