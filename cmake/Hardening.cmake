# Release builds are hardened: fortified libc calls, stack protector,
# position-independent executable and full RELRO (on Windows: their PE
# counterparts).
option(DULMERI_HARDENING "Build with hardening flags" ON)

function(dulmeri_harden target)
    # WebAssembly has no stack protector runtime, PIE or RELRO: the browser's
    # sandbox and the module's bounds-checked memory stand in for them.
    if(NOT DULMERI_HARDENING OR EMSCRIPTEN)
        return()
    endif()
    if(WIN32)
        # The PE equivalents: stack protector and fortified calls (MinGW's
        # libssp, linked statically), address-space randomisation with
        # 64-bit entropy and a non-executable data section.
        target_compile_options(${target} PRIVATE
            $<$<CONFIG:Release,RelWithDebInfo>:-D_FORTIFY_SOURCE=2> -fstack-protector-strong)
        get_target_property(type ${target} TYPE)
        if(type STREQUAL "EXECUTABLE")
            target_link_options(${target} PRIVATE -fstack-protector-strong
                                -Wl,--dynamicbase,--nxcompat,--high-entropy-va)
        else()
            # Whatever links a protected library needs libssp too.
            target_link_options(${target} INTERFACE -fstack-protector-strong)
        endif()
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
