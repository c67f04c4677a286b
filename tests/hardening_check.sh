#!/usr/bin/env bash
# Checks that a release build of the program carries its hardening:
#   - position-independent executable: ELF type DYN with a program
#     interpreter (a shared library is DYN too, but has none);
#   - full RELRO: a GNU_RELRO segment and immediate binding (BIND_NOW);
#   - a stack that is not executable (GNU_STACK without E);
#   - the stack protector: __stack_chk_fail is imported;
#   - fortified libc calls: some __*_chk function is imported (the program's
#     own messages go through fprintf, which _FORTIFY_SOURCE turns into
#     __fprintf_chk).
#
# usage: hardening_check.sh PROGRAM
set -euo pipefail

if [ $# -ne 1 ]; then
    echo "usage: $0 PROGRAM" >&2
    exit 2
fi
program="$1"

if [ ! -f "$program" ]; then
    echo "FAIL: no such file: $program" >&2
    exit 1
fi

failures=0
pass() { echo "ok:   $1"; }
fail() {
    echo "FAIL: $1"
    failures=$((failures + 1))
}

header=$(readelf -hW "$program")
segments=$(readelf -lW "$program")
dynamic=$(readelf -dW "$program")
# Undefined dynamic symbols, without their version ("memcpy@GLIBC_2.14").
imports=$(readelf --dyn-syms -W "$program" | awk '$7 == "UND" && $8 != "" { sub(/@.*/, "", $8); print $8 }' | sort -u)

if grep -Eq '^[[:space:]]*Type:[[:space:]]+DYN' <<<"$header" && grep -Eq '^[[:space:]]*INTERP[[:space:]]' <<<"$segments"; then
    pass "position-independent executable (DYN with an interpreter)"
else
    fail "not a position-independent executable (link with -pie)"
fi

if grep -Eq '^[[:space:]]*GNU_RELRO[[:space:]]' <<<"$segments"; then
    pass "GNU_RELRO segment"
else
    fail "no GNU_RELRO segment (link with -z relro)"
fi

if grep -Eq '\(BIND_NOW\)|\(FLAGS\).*BIND_NOW|\(FLAGS_1\).*[[:space:]]NOW' <<<"$dynamic"; then
    pass "immediate binding (BIND_NOW): full RELRO"
else
    fail "lazy binding: RELRO is only partial (link with -z now)"
fi

stack_flags=$(awk '$1 == "GNU_STACK" { print $7 }' <<<"$segments")
if [ -n "$stack_flags" ] && [[ "$stack_flags" != *E* ]]; then
    pass "non-executable stack"
else
    fail "the stack is executable or its GNU_STACK segment is missing"
fi

if grep -qx '__stack_chk_fail' <<<"$imports"; then
    pass "stack protector (__stack_chk_fail imported)"
else
    fail "no stack protector (__stack_chk_fail not imported; compile with -fstack-protector-strong)"
fi

fortified=$(grep -E '^__.+_chk$' <<<"$imports" | grep -vx '__stack_chk_fail' || true)
if [ -n "$fortified" ]; then
    pass "fortified calls: $(tr '\n' ' ' <<<"$fortified")"
else
    fail "no fortified call (__*_chk) imported (compile optimised with -D_FORTIFY_SOURCE=2)"
fi

if [ "$failures" -gt 0 ]; then
    echo "$program: $failures hardening check(s) failed"
    exit 1
fi
echo "$program: hardened"
