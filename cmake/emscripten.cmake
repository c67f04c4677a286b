# The browser build: Debian's Emscripten (em++ from the emscripten package)
# compiles the core, the design and the web front end to WebAssembly; the test
# programs run under Node through tools/node-run.
#
#   cmake --preset web
#
# em++ runs JavaScript tools of its own that need Debian's Node modules
# (acorn) and Node does not look in /usr/share/nodejs by itself: tools/em++
# adds that folder to NODE_PATH and runs the real em++.
set(CMAKE_CXX_COMPILER "${CMAKE_CURRENT_LIST_DIR}/../tools/em++" CACHE FILEPATH "em++ with Debian's Node modules")
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../tools/node-run" CACHE FILEPATH "Runs a program built for Node")
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

# C++ exceptions carry the program's fatal errors: WebAssembly's own
# exception handling, for every object alike (GoogleTest included).
set(CMAKE_CXX_FLAGS_INIT "-fwasm-exceptions")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fwasm-exceptions")
