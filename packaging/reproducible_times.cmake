# Run by CPack after it has staged the files and before it packs them
# (CPACK_PRE_BUILD_SCRIPTS). When SOURCE_DATE_EPOCH is set (tools/release.sh
# sets the commit's time), every staged file and folder gets that time: the
# NSIS installer stores each file's modification time, which would otherwise
# be the time of the build. The DEB and ZIP generators read SOURCE_DATE_EPOCH
# themselves.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    return()
endif()
execute_process(
    COMMAND find ${CPACK_TEMPORARY_DIRECTORY} -exec
            touch --no-dereference --date=@$ENV{SOURCE_DATE_EPOCH} {} +
    COMMAND_ERROR_IS_FATAL ANY)
