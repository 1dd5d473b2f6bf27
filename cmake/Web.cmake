# The game for the browser, built with Emscripten (scripts/web.sh passes the dependencies' prefix):
# duelfall.js and duelfall.wasm, the data packed into duelfall.data, and the page beside them.
add_executable(duelfall-web game/Web/main.cpp
  tools/sim/Autopilot.cpp tools/sim/RunSummary.cpp tools/sim/SimOptions.cpp)
set_target_properties(duelfall-web PROPERTIES OUTPUT_NAME duelfall SUFFIX .js)
target_include_directories(duelfall-web PRIVATE tools/sim)
target_link_libraries(duelfall-web PRIVATE game)
target_link_options(duelfall-web PRIVATE
  # The page starts the game once the player has clicked or pressed a key (sound needs that gesture).
  -sINVOKE_RUN=0
  -sEXPORTED_RUNTIME_METHODS=callMain,FS,addRunDependency,removeRunDependency
  -sALLOW_MEMORY_GROWTH=1
  -sINITIAL_MEMORY=64MB
  # SDL's renderer draws through WebGL 1 (OpenGL ES 2).
  -sMIN_WEBGL_VERSION=1
  -sMAX_WEBGL_VERSION=1
  # JavaScript helpers that SDL's audio calls from its inline scripts, which the linker cannot see.
  # (Their names begin with $, which no build tool passes on unharmed: listed in a file.)
  "-sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${CMAKE_SOURCE_DIR}/game/Web/library-functions.json"
  # userData/ is kept in the browser's IndexedDB.
  -lidbfs.js
  # The assets, packed into one file the page fetches with a progress bar; LZ4 keeps it small on the
  # wire and in memory, taken apart as each file is read.
  "--preload-file=${CMAKE_SOURCE_DIR}/data@/data"
  -sLZ4=1)
