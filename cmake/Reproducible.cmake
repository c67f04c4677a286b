# Reproducible builds for releases: the same commit built in another folder,
# at another time, gives the same bytes.
#   - The absolute paths of the source and build folders are mapped out of
#     the objects (debug info, __FILE__), so they do not reach the program
#     or its build id. Source paths then read "./src/...", build paths
#     "build/...".
#   - Windows: the PE header carries no time stamp.
# Time stamps (SOURCE_DATE_EPOCH) are set by tools/release.sh. Off by default:
# in a developer's build the debugger finds the sources by their full paths.
option(DULMERI_REPRODUCIBLE "Map build paths out of the binaries (release builds)" OFF)

if(DULMERI_REPRODUCIBLE)
    # The build folder usually lies inside the source folder: GCC tries the
    # maps given last first, so the build folder's map comes last.
    add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.
                        -ffile-prefix-map=${PROJECT_BINARY_DIR}=build)
    if(WIN32)
        # No link time in the PE header, and the program stripped by the
        # linker: strip, run afterwards, would write a time there again
        # (Debian's SOURCE_DATE_EPOCH, other binutils the current time).
        add_link_options(-Wl,--no-insert-timestamp -s)
    endif()
endif()

# Qt's moc includes each header it reads by a path relative to its output
# (../../../../src/qt/gauge.h), which goes through the absolute path of the
# source folder when the build folder lies outside it, and which the maps
# above cannot reach. Told the headers' folder (-p), moc includes them by
# their absolute path, which the maps turn into ./src/...
function(dulmeri_reproducible_moc target headers_folder)
    if(DULMERI_REPRODUCIBLE)
        set_property(TARGET ${target} APPEND PROPERTY AUTOMOC_MOC_OPTIONS -p ${headers_folder})
    endif()
endfunction()
