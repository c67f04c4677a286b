# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (posix thread
# model: g++-mingw-w64-x86-64-posix). Programs built with it run here under
# Wine through tools/wine-run, which CTest uses as the emulator.
#
#   cmake --preset windows      (or: cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake ...)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(DULMERI_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${DULMERI_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DULMERI_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${DULMERI_MINGW_TRIPLE}-windres)
set(CMAKE_OBJDUMP ${DULMERI_MINGW_TRIPLE}-objdump CACHE FILEPATH "objdump for PE files")

set(CMAKE_FIND_ROOT_PATH /usr/${DULMERI_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every program carries its C and C++ runtime (and winpthreads) inside: a
# school computer has none of MinGW's DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test programs run under Wine. tests/CMakeLists.txt adds the private Wine
# prefix under the build folder to this command.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run")
