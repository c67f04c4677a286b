#!/usr/bin/env bash
# The style checks; fails on any finding. Run from anywhere in the checkout:
#
#   tools/lint.sh
#
#   C++          clang-format 14 (.clang-format) over every tracked .cpp and .h
#   shell        shellcheck over every tracked shell script (.sh, or a shell
#                in its #! line)
#   Python       pyflakes3 over every tracked .py (or python in its #! line)
#   JavaScript   ESLint (tools/lint: `npm ci` there first) over every tracked
#                .js and .mjs, each in its environment (tools/lint/eslint.config.mjs)
#
# DULMERI_LINT_SKIP_FORMAT=1 skips the C++ format check only.
# Every check runs; the exit status is 1 if any of them found something.
set -euo pipefail

cd "$(dirname "$0")/.."

failed=()

missing() {
    echo "lint: $1 is missing ($2)" >&2
    exit 2
}

# tracked PATHSPEC...: the tracked files that match, one per line.
tracked() {
    git ls-files -- "$@"
}

# scripts_by_shebang PATTERN: tracked files whose first line is a #! line
# matching PATTERN (an extended regular expression).
scripts_by_shebang() {
    local file line
    while IFS= read -r file; do
        [ -f "$file" ] || continue
        IFS= read -r line <"$file" || true
        if [[ $line =~ ^#! ]] && grep -Eq "$1" <<<"$line"; then
            echo "$file"
        fi
    done < <(git ls-files)
}

# check NAME COMMAND...: runs one check, remembers it when it fails.
check() {
    local name=$1
    shift
    if "$@"; then
        echo "ok: $name"
    else
        echo "FAIL: $name" >&2
        failed+=("$name")
    fi
}

command -v git >/dev/null || missing git "Debian package git"

# --- C++ ----------------------------------------------------------------------
if [ "${DULMERI_LINT_SKIP_FORMAT:-}" = 1 ]; then
    echo "skipped: C++ format (DULMERI_LINT_SKIP_FORMAT=1)"
else
    command -v clang-format >/dev/null || missing clang-format "Debian package clang-format"
    mapfile -t cpp_files < <(tracked '*.cpp' '*.h')
    check "C++ format: clang-format, ${#cpp_files[@]} files" \
        clang-format --dry-run --Werror --style=file "${cpp_files[@]}"
fi

# --- Shell --------------------------------------------------------------------
command -v shellcheck >/dev/null || missing shellcheck "Debian package shellcheck"
mapfile -t shell_files < <({
    tracked '*.sh'
    scripts_by_shebang '^#!(/usr)?/bin/(env[[:space:]]+)?(ba|da)?sh([[:space:]]|$)'
} | sort -u)
check "shell: shellcheck, ${#shell_files[@]} scripts" shellcheck "${shell_files[@]}"

# --- Python -------------------------------------------------------------------
command -v pyflakes3 >/dev/null || missing pyflakes3 "Debian package pyflakes3"
mapfile -t python_files < <({
    tracked '*.py'
    scripts_by_shebang '^#!.*python'
} | sort -u)
check "Python: pyflakes3, ${#python_files[@]} files" pyflakes3 "${python_files[@]}"

# --- JavaScript ---------------------------------------------------------------
eslint=tools/lint/node_modules/eslint/bin/eslint.js
[ -f "$eslint" ] || missing ESLint "run: (cd tools/lint && npm ci)"
command -v node >/dev/null || missing node "Debian package nodejs"
mapfile -t js_files < <(tracked '*.js' '*.mjs' '*.cjs')
check "JavaScript: ESLint, ${#js_files[@]} files" \
    node "$eslint" --config tools/lint/eslint.config.mjs --max-warnings 0 -- "${js_files[@]}"

if [ ${#failed[@]} -ne 0 ]; then
    echo "lint: ${#failed[@]} check(s) failed:" >&2
    printf '  %s\n' "${failed[@]}" >&2
    exit 1
fi
echo "lint: every check passed"
