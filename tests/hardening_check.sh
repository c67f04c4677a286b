#!/usr/bin/env bash
# Checks that a release build of the program carries its hardening:
#   - position-independent executable: ELF type DYN with a program
#     interpreter (a shared library is DYN too, but has none);
#   - full RELRO: a GNU_RELRO segment and immediate binding (BIND_NOW);
#   - a stack that is not executable (GNU_STACK without E);
#   - the stack protector: __stack_chk_fail is imported;
#   - fortified libc calls: some __*_chk function is imported.
#
# A program whose code makes no call that the compiler can fortify (one whose
# buffer size it knows) imports no __*_chk function even when built with
# _FORTIFY_SOURCE, so the last point cannot be read from the binary alone.
# When no __*_chk import is found, the check falls back to the compile
# commands: every source file of the program under src/ must have been
# compiled with optimisation and _FORTIFY_SOURCE defined to 1 or more (the
# last definition on the command line counting), which is what makes glibc
# fortify its calls.
#
# usage: hardening_check.sh PROGRAM [COMPILE_COMMANDS_JSON]
#   COMPILE_COMMANDS_JSON defaults to compile_commands.json in the nearest
#   directory above PROGRAM that has one.
set -euo pipefail

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    echo "usage: $0 PROGRAM [COMPILE_COMMANDS_JSON]" >&2
    exit 2
fi
program="$1"
compile_commands="${2:-}"
source_dir="$(cd "$(dirname "$0")/.." && pwd)"

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
    # No fortified call in the binary: see the note at the top.
    if [ -z "$compile_commands" ]; then
        dir=$(cd "$(dirname "$program")" && pwd)
        while [ "$dir" != / ] && [ ! -f "$dir/compile_commands.json" ]; do dir=$(dirname "$dir"); done
        compile_commands="$dir/compile_commands.json"
    fi
    if [ ! -f "$compile_commands" ]; then
        fail "no __*_chk import, and no compile_commands.json to check the flags in"
    elif report=$(python3 - "$compile_commands" "$source_dir/src/" <<'PY'
import json, re, shlex, sys

commands_path, sources = sys.argv[1], sys.argv[2]
checked, bad = 0, []
for entry in json.load(open(commands_path)):
    if not entry["file"].startswith(sources):
        continue
    checked += 1
    words = entry["arguments"] if "arguments" in entry else shlex.split(entry["command"])
    level, optimised = 0, False
    for word in words:
        if m := re.fullmatch(r"-D_FORTIFY_SOURCE(?:=(\d+))?", word):
            level = int(m.group(1) or 1)
        elif word == "-U_FORTIFY_SOURCE":
            level = 0
        elif m := re.fullmatch(r"-O(.*)", word):
            optimised = m.group(1) != "0"
    if level < 1 or not optimised:
        bad.append(entry["file"])
if checked == 0:
    print("no source under " + sources + " in " + commands_path)
    sys.exit(1)
if bad:
    print("compiled without optimisation or _FORTIFY_SOURCE: " + " ".join(bad))
    sys.exit(1)
print(f"{checked} source files compiled with optimisation and _FORTIFY_SOURCE")
PY
    ); then
        pass "no fortifiable call in the binary; $report"
    else
        fail "no __*_chk import, and $report"
    fi
fi

if [ "$failures" -gt 0 ]; then
    echo "$program: $failures hardening check(s) failed"
    exit 1
fi
echo "$program: hardened"
