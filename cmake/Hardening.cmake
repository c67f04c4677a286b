# Release builds are hardened: fortified libc calls, stack protector,
# position-independent executable and full RELRO.
option(DULMERI_HARDENING "Build with hardening flags" ON)

function(dulmeri_harden target)
    if(NOT DULMERI_HARDENING)
        return()
    endif()
    target_compile_options(${target} PRIVATE
        $<$<CONFIG:Release,RelWithDebInfo>:-U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2>
        -fstack-protector-strong)
    set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE ON)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
        target_link_options(${target} PRIVATE -pie -Wl,-z,relro -Wl,-z,now)
    endif()
endfunction()
