#!/usr/bin/env bash
# Checks that the release is reproducible: builds it twice with
# tools/release.sh, from two copies of this source tree, and compares every
# file of the two releases byte by byte. Between the two builds it varies
# what Debian's reprotest varies:
#
#   build path    build 1: SCRATCH/one/dulmeri, built in its build/;
#                 build 2: SCRATCH/second-run/src/dulmeri-copy, built
#                 outside it, in SCRATCH/second-run/out
#   time          build 2 later, and a year and a month ahead (faketime)
#   time zone     UTC; Pacific/Kiritimati (UTC+14)
#   locale        C.UTF-8; bg_BG.UTF-8 (compiled into SCRATCH, LOCPATH)
#   umask         022; 077
#   user          the caller; as root, build 2 runs as a user id that has no
#                 account (setpriv), with its own HOME
#   file order    build 2's copy is written in reverse order and read
#                 through disorderfs, which shuffles every folder's listing
#                 (where FUSE cannot mount, the reversed copy only)
#   package tests build 1 runs the Debian package's tests (dh_auto_test),
#                 build 2 leaves them out (nocheck)
#
# tools/release.sh gives CMake, CPack, Wine and Emscripten a fixed umask,
# time zone and language; the Debian packages are built in the varied ones.
# Also checks that no absolute path of either copy or build folder is left in
# the programs, debug info included, and that the released packages pass
# their checks (tests/packaging/package_test.sh: lintian, the files, the
# program opening its window, the arm64 one under qemu; the hardening), and
# that the Debian source package builds and passes lintian.
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

for tool in faketime disorderfs; do
    command -v "$tool" >/dev/null ||
        { echo "$tool is needed (Debian package $tool, in tools/debian-packages.txt)" >&2; exit 2; }
done

# The second build's locale, compiled here: a Bulgarian one, whose decimal
# point is a comma and whose sorting is not C's.
locales=$scratch/locales
mkdir -p "$locales"
localedef -i bg_BG -f UTF-8 "$locales/bg_BG.UTF-8" 2>/dev/null ||
    { echo "localedef cannot compile bg_BG.UTF-8 (Debian package locales)" >&2; exit 2; }

# copy_tree COPY ORDER: the working tree's files into COPY, in the order git
# lists them (ORDER "listed") or in the reverse one ("reversed").
copy_tree() {
    local copy=$1 order=$2 sort=(cat)
    [ "$order" = reversed ] && sort=(sort -z -r)
    mkdir -p "$copy"
    (
        cd "$source_dir"
        git ls-files -z --cached --others --exclude-standard | "${sort[@]}" |
            tar --null --files-from=- --ignore-failed-read --no-same-permissions -cf - |
            tar -xf - --no-same-permissions --touch -C "$copy"
    )
}

# release RUN COPY BUILD UMASK TZ LANG DEB_BUILD_OPTIONS [COMMAND...]: builds
# the release from COPY in BUILD into COPY/dist, under COMMAND (a change of
# user, faketime) if given.
release() {
    local run=$1 copy=$2 build=$3 mask=$4 zone=$5 language=$6 options=$7 started
    shift 7
    started=$(date +%s)
    echo "== Build $run of $copy in $build (umask $mask, TZ=$zone, LANG=$language, DEB_BUILD_OPTIONS='$options'${*:+, under: $*})"
    if ! (umask "$mask" && env -u LC_ALL TZ="$zone" LANG="$language" LOCPATH="$locales" \
              DEB_BUILD_OPTIONS="$options" "$@" "$copy/tools/release.sh" \
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
    for program in "$build"/deb-*/dulmeri-*/obj-*/src/qt/dulmeri "$build"/release-*/src/*/dulmeri.exe \
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
second=$scratch/second-run
two_view=$second/src/dulmeri-copy  # the copy as build 2 sees it
two=$second/store/dulmeri-copy      # the same files, where they lie
copy_tree "$one" listed
release 1 "$one" "$one/build" 022 UTC C.UTF-8 ""

# Build 2: its copy written in reverse order, then seen through disorderfs.
mkdir -p "$second/store" "$second/src" "$second/out" "$second/home"
(umask 077 && copy_tree "$second/store/dulmeri-copy" reversed)
mounted=
unmount() {
    if [ -n "$mounted" ]; then
        fusermount -u "$second/src" 2>/dev/null || umount "$second/src" 2>/dev/null || true
        mounted=
    fi
}
trap unmount EXIT
if disorderfs --multi-user=yes --shuffle-dirents=yes "$second/store" "$second/src" \
       >"$scratch/disorderfs.log" 2>&1; then
    mounted=yes
    echo "ok: build 2 reads its source through disorderfs (shuffled folder listings)"
else
    echo "note: disorderfs cannot mount here ($(tail -n 1 "$scratch/disorderfs.log")): build 2's copy is only written in reverse order"
    rmdir "$second/src"
    ln -s store "$second/src"
fi
# As another user, where this runs as root: a user id without an account.
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    uid=64123
    chown -R "$uid:$uid" "$second/store" "$second/out" "$second/home"
    as_user=(setpriv --reuid="$uid" --regid="$uid" --clear-groups env HOME="$second/home" USER=builder LOGNAME=builder)
    echo "ok: build 2 runs as user id $uid (no account), HOME=$second/home"
else
    echo "note: not root: both builds run as $(id -un)"
fi
sleep 1
# faketime moves the clock only: not the monotonic clock (timeouts, sleeps),
# nor the times stat() reports, which libfaketime would shift for some calls
# and not others (tar's of a folder, not ninja's), so that the build's files
# would look a year apart to the build tools.
release 2 "$two_view" "$second/out" 077 Pacific/Kiritimati bg_BG.UTF-8 nocheck \
    "${as_user[@]}" env FAKETIME_DONT_FAKE_MONOTONIC=1 NO_FAKE_STAT=1 faketime -f +397d
unmount

no_paths 1 "$one" "$one/build"
no_paths 2 "$two_view" "$second/out"
no_paths 2 "$two" "$second/out"

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
for wanted in '_amd64.deb' '_arm64.deb' '-win64.zip' '-win64.exe' '-win64.msi' '-web.zip' '.html' 'SHA256SUMS'; do
    grep -q -- "$wanted\$" <<<"$names" || fail "the release has no *$wanted"
done
(cd "$one/dist" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not verify"
# The released Debian packages pass the package's checks (lintian, their
# files, their program opening the window: the arm64 one under qemu) and
# carry their hardening.
version=$(dpkg-parsechangelog -l "$source_dir/debian/changelog" -S Version)
for deb in "$one"/dist/*.deb; do
    name=$(basename "$deb")
    if "$source_dir/tests/packaging/package_test.sh" "$deb" "$scratch/package-test" "$version" \
           >"$scratch/package-test.log" 2>&1; then
        echo "ok: $name passes tests/packaging/package_test.sh (lintian included)"
        if bash "$source_dir/tests/hardening_check.sh" "$scratch/package-test/root/usr/bin/dulmeri" \
               >"$scratch/hardening.log" 2>&1; then
            echo "ok: its program carries its hardening (tests/hardening_check.sh)"
        else
            cat "$scratch/hardening.log" >&2
            fail "the program of $name lacks its hardening"
        fi
    else
        cat "$scratch/package-test.log" >&2
        fail "$name fails its checks"
    fi
done
# The Debian source package (3.0 (native)) of the first copy: dpkg-source
# builds it, lintian passes it.
mkdir -p "$scratch/source-package"
cp -a "$one" "$scratch/source-package/dulmeri-$version"
rm -rf "$scratch/source-package/dulmeri-$version/build" "$scratch/source-package/dulmeri-$version/dist"
if (cd "$scratch/source-package" && dpkg-source --build "dulmeri-$version" >dpkg-source.log 2>&1); then
    if output=$(lintian --fail-on error,warning --display-info --pedantic \
                    "$scratch/source-package/dulmeri_$version.dsc" 2>&1); then
        echo "ok: the source package dulmeri_$version.dsc passes lintian"
    else
        fail "lintian on the source package: $output"
    fi
else
    cat "$scratch/source-package/dpkg-source.log" >&2
    fail "dpkg-source cannot build the source package"
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
