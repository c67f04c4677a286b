#!/usr/bin/env bash
# dulmeri.exe must run on a bare Windows: a GUI program (no console) that
# imports only DLLs every Windows has, with its C++ runtime linked in, and
# with the PE hardening flags (ASLR with 64-bit entropy, DEP).
#
#   imports_test.sh OBJDUMP PROGRAM.exe
set -euo pipefail
objdump="$1"
program="$2"

headers="$("$objdump" -p "$program")"
status=0

# The system's own DLLs; anything else (libstdc++-6.dll, libgcc_s_seh-1.dll,
# libwinpthread-1.dll, Qt, ...) would be missing on a school computer.
allowed=" advapi32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll oleacc.dll user32.dll shell32.dll comctl32.dll uxtheme.dll "
imports="$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")"
if [ -z "$imports" ]; then
    echo "FAIL: no import table found in $program"
    exit 1
fi
for dll in $imports; do
    lower="$(tr '[:upper:]' '[:lower:]' <<<"$dll")"
    if [[ "$allowed" == *" $lower "* ]]; then
        echo "ok: imports $dll"
    else
        echo "FAIL: imports $dll, which is not a system DLL"
        status=1
    fi
done

if grep -Eq '^Subsystem[[:space:]]+00000002' <<<"$headers"; then
    echo "ok: Windows GUI subsystem"
else
    echo "FAIL: not a GUI program: $(grep '^Subsystem' <<<"$headers")"
    status=1
fi

characteristics=$((16#$(sed -n 's/^DllCharacteristics[[:space:]]*//p' <<<"$headers")))
for flag in "0x20 HIGH_ENTROPY_VA" "0x40 DYNAMIC_BASE" "0x100 NX_COMPAT"; do
    read -r mask name <<<"$flag"
    if (( characteristics & mask )); then
        echo "ok: $name"
    else
        echo "FAIL: $name is not set"
        status=1
    fi
done
exit $status
