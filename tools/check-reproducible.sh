#!/usr/bin/env bash
# Checks that the release is reproducible: builds it twice with
# tools/release.sh, from two copies of this source tree in two different
# folders (different absolute paths; the first build in the copy's build/,
# the second in a folder outside its copy), one after the other (so at
# different times), with a different umask, time zone and language, and
# compares every file of the two releases byte by byte. Also checks that no
# absolute path of either copy or build folder is left in the programs,
# debug info included, and that the released packages pass their checks.
#
#   tools/check-reproducible.sh [SCRATCH_DIR]
#
# SCRATCH_DIR (default: a new folder under /tmp) is emptied and reused; it
# is removed afterwards when the check passes. The copies hold the files of
# the working tree as they are now (tracked and not ignored), with the time of
# their copying as their modification time, as a fresh clone would have; the
# release's time stamps are those of the current commit.
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/.." && pwd -P)
scratch=${1:-$(mktemp -d /tmp/dulmeri-reproducible.XXXXXX)}
case "$scratch" in
    "" | / | "$source_dir") echo "refusing scratch dir '$scratch'" >&2; exit 2 ;;
esac
rm -rf "$scratch"
mkdir -p "$scratch"
scratch=$(cd "$scratch" && pwd -P)

SOURCE_DATE_EPOCH=$(git -C "$source_dir" log -1 --format=%ct)
export SOURCE_DATE_EPOCH

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# release RUN SOURCE_FOLDER BUILD_FOLDER UMASK TZ LANG: copies the tree to
# SOURCE_FOLDER and builds the release from there, in BUILD_FOLDER, into
# SOURCE_FOLDER/dist.
release() {
    local run=$1 copy=$2 build=$3 mask=$4 zone=$5 language=$6 started
    mkdir -p "$copy"
    (
        umask "$mask"
        cd "$source_dir"
        git ls-files -z --cached --others --exclude-standard |
            tar --null --files-from=- --ignore-failed-read --no-same-permissions -cf - |
            tar -xf - --no-same-permissions --touch -C "$copy"
    )
    started=$(date +%s)
    echo "== Build $run of $copy in $build (umask $mask, TZ=$zone, LANG=$language)"
    if ! (umask "$mask" && env -u LC_ALL TZ="$zone" LANG="$language" "$copy/tools/release.sh" \
              --build-dir "$build" >"$scratch/release-$run.log" 2>&1); then
        tail -n 40 "$scratch/release-$run.log" >&2
        fail "build $run failed (log: $scratch/release-$run.log)"
        exit 1
    fi
    echo "   built in $(($(date +%s) - started)) s"
}

# no_paths RUN COPY BUILD: the built programs hold no absolute path of the
# copy or of the build folder.
no_paths() {
    local copy=$2 build=$3 program found
    for program in "$build"/release-*/src/*/dulmeri "$build"/release-*/src/*/dulmeri.exe \
                   "$build"/release-web/src/web/dulmeri.html "$build"/release-web/src/web/site/*; do
        [ -f "$program" ] || continue
        found=$(strings -a "$program" | grep -F -e "$copy" -e "$build" | head -n 3) || true
        if [ -n "$found" ]; then
            fail "${program#"$build"/} of build $1 holds the path of its folders: $found"
        else
            echo "ok: ${program#"$build"/} of build $1 holds no path of its folders"
        fi
    done
}

# explain A B: where two versions of an artifact differ.
explain() {
    local a=$1 b=$2 count
    count=$(cmp -l "$a" "$b" 2>/dev/null | wc -l) || true
    echo "   sizes $(stat -c %s "$a") and $(stat -c %s "$b") bytes; $count bytes differ; first ones (offset, octal values):"
    cmp -l "$a" "$b" 2>/dev/null | head -n 10 | sed 's/^/     /' || true
    case "$a" in
        *.deb)
            # Which member and which packaged file.
            mkdir -p "$scratch/explain/a" "$scratch/explain/b"
            if dpkg-deb -R "$a" "$scratch/explain/a" && dpkg-deb -R "$b" "$scratch/explain/b"; then
                diff -r "$scratch/explain/a" "$scratch/explain/b" | sed 's/^/     /' || true
            fi
            diff <(dpkg-deb -c "$a") <(dpkg-deb -c "$b") | sed 's/^/     /' || true
            rm -rf "$scratch/explain"
            ;;
        *.zip)
            diff <(zipinfo -v "$a" | tail -n +2) <(zipinfo -v "$b" | tail -n +2) | head -n 40 |
                sed 's/^/     /' || true
            ;;
        *.msi)
            # The summary information (codes, times), then the tables.
            diff <(msiinfo suminfo "$a") <(msiinfo suminfo "$b") | sed 's/^/     /' || true
            mkdir -p "$scratch/explain/a" "$scratch/explain/b"
            # (msidump writes the tables' binary fields in the current folder.)
            if (cd "$scratch/explain/a" && msidump -t -s "$a" >/dev/null) &&
               (cd "$scratch/explain/b" && msidump -t -s "$b" >/dev/null); then
                diff -r "$scratch/explain/a" "$scratch/explain/b" | head -n 40 | sed 's/^/     /' || true
            fi
            rm -rf "$scratch/explain"
            ;;
    esac
}

one=$scratch/one/dulmeri
two=$scratch/second-run/src/dulmeri-copy
release 1 "$one" "$one/build" 022 UTC C.UTF-8
sleep 1
release 2 "$two" "$scratch/second-run/out" 077 Asia/Tokyo bg_BG.UTF-8

no_paths 1 "$one" "$one/build"
no_paths 2 "$two" "$scratch/second-run/out"

names=$(cd "$one/dist" && ls)
if [ "$names" != "$(cd "$two/dist" && ls)" ]; then
    fail "the two releases hold different files: $(cd "$one/dist" && echo *) and $(cd "$two/dist" && echo *)"
fi
for name in $names; do
    [ -f "$two/dist/$name" ] || continue
    if cmp -s "$one/dist/$name" "$two/dist/$name"; then
        echo "ok: $name is the same in both builds ($(stat -c %s "$one/dist/$name") bytes)"
    else
        fail "$name differs between the builds"
        explain "$one/dist/$name" "$two/dist/$name" >&2
    fi
done
for wanted in '.deb' '-win64.zip' '-win64.exe' '-win64.msi' '-web.zip' '.html' 'SHA256SUMS'; do
    grep -q -- "$wanted\$" <<<"$names" || fail "the release has no *$wanted"
done
(cd "$one/dist" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not verify"
# The released Debian package passes the package's checks (lintian, its files,
# its program opening the window).
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$one/build/release-deb/CPackConfig.cmake")
if "$source_dir/tests/packaging/package_test.sh" "$one"/dist/*.deb "$scratch/package-test" "$version" \
       >"$scratch/package-test.log" 2>&1; then
    echo "ok: the released Debian package passes tests/packaging/package_test.sh"
    if bash "$source_dir/tests/hardening_check.sh" "$scratch/package-test/root/usr/bin/dulmeri" \
           >"$scratch/hardening.log" 2>&1; then
        echo "ok: its program carries its hardening (tests/hardening_check.sh)"
    else
        cat "$scratch/hardening.log" >&2
        fail "the released program lacks its hardening"
    fi
else
    cat "$scratch/package-test.log" >&2
    fail "the released Debian package fails its checks"
fi
# The ZIP is packed by tools/reproducible_zip.py: it must still be the portable
# copy the Windows package test expects.
python3 -c 'import sys; sys.path.insert(0, sys.argv[1]); import package_test; package_test.check_zip(sys.argv[2])' \
    "$source_dir/tests/win32" "$one"/dist/*-win64.zip || fail "the Windows ZIP is not the portable copy"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed; both builds are kept in $scratch" >&2
    exit 1
fi
rm -rf "$scratch"
echo "the release is reproducible"
