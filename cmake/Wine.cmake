# The Windows build's tests run under Wine (Debian's wine64), in private
# prefixes under the build folder, on a private Xvfb that the test run
# starts (tests/win32/display.sh). tools/wine-run is the emulator: every
# cross-built test program, and the discovery of the tests in it, runs
# through it.
set(DULMERI_WINE_RUN ${PROJECT_SOURCE_DIR}/tools/wine-run)
set(DULMERI_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine/prefix)
# A second prefix with a system DPI of 144 (150 %), for the scaling test.
set(DULMERI_WINE_PREFIX_144DPI ${CMAKE_BINARY_DIR}/wine/prefix-144dpi)
set(DULMERI_WINE_DISPLAY_FILE ${CMAKE_BINARY_DIR}/wine/display)

set(CMAKE_CROSSCOMPILING_EMULATOR
    ${DULMERI_WINE_RUN} --prefix=${DULMERI_WINE_PREFIX} --display-file=${DULMERI_WINE_DISPLAY_FILE})

# Creating a prefix takes 10-15 s; it is made once, by the build, so that
# test discovery (when ctest starts, before any fixture) finds it ready.
add_custom_command(
    OUTPUT ${DULMERI_WINE_PREFIX}/.dulmeri-prefix
    COMMAND ${DULMERI_WINE_RUN} --prefix=${DULMERI_WINE_PREFIX} --init
    COMMENT "Creating the Wine prefix for the tests"
    VERBATIM)
add_custom_command(
    OUTPUT ${DULMERI_WINE_PREFIX_144DPI}/.dulmeri-prefix
    COMMAND ${DULMERI_WINE_RUN} --prefix=${DULMERI_WINE_PREFIX_144DPI} --init --dpi=144
    COMMENT "Creating the Wine prefix at 144 DPI for the tests"
    VERBATIM)
add_custom_target(wine_prefixes ALL
    DEPENDS ${DULMERI_WINE_PREFIX}/.dulmeri-prefix ${DULMERI_WINE_PREFIX_144DPI}/.dulmeri-prefix)
