# Cross-compiling for 64-bit ARM Linux (Raspberry Pi OS, Debian arm64) on
# amd64 Debian, against the arm64 Qt installed beside the amd64 one by
# multiarch (tools/debian-packages-arm64.txt). Programs built with it run here
# under qemu-aarch64, which CTest uses as the emulator: the arm64 libraries
# and dynamic loader lie in the same root (-L /) as the machine's own.
#
#   cmake --preset arm64      (or: cmake -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake ...)
#
# The arm64 Debian package is built by dpkg-buildpackage -a arm64 instead
# (tools/release.sh), with debhelper's own cross settings.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(DULMERI_CROSS_TRIPLE aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${DULMERI_CROSS_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${DULMERI_CROSS_TRIPLE}-g++)
# Libraries and CMake packages from /usr/lib/aarch64-linux-gnu, pkg-config's
# .pc files through its cross wrapper (pkgconf:arm64).
set(CMAKE_LIBRARY_ARCHITECTURE ${DULMERI_CROSS_TRIPLE})
set(PKG_CONFIG_EXECUTABLE ${DULMERI_CROSS_TRIPLE}-pkg-config CACHE FILEPATH "pkg-config for arm64")
# Qt's code generators (moc, rcc, uic) are the build machine's.
set(QT_HOST_PATH /usr CACHE PATH "Qt for the build machine")

set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 -L /)
