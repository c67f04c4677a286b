#!/usr/bin/env bash
# Builds every file of a release into dist/, from fresh build folders:
#
#   dulmeri_<version>_<arch>.deb      the Debian package
#   dulmeri-<version>-win64.zip       the portable Windows copy
#   dulmeri-<version>-win64.exe       the Windows installer
#   dulmeri-<version>-win64.msi       the Windows Installer package, for IT
#   dulmeri-<version>-web.zip         the web site folder
#   dulmeri-<version>.html            the one-file web page
#   SHA256SUMS                        their checksums (sha256sum -c SHA256SUMS)
#
#   tools/release.sh [--build-dir DIR] [--dist DIR]
#
# --build-dir  where the release build folders go (DIR/release-deb, ...);
#              default: build/ in the source tree. They are made afresh.
# --dist       where the release goes; default: dist/ in the source tree.
#              The files of an earlier release there (dulmeri*, SHA256SUMS)
#              are removed first.
#
# The release is reproducible: the same commit built with the same Debian
# packages gives the same bytes, wherever and whenever it is built
# (tools/check-reproducible.sh checks it). Every time stamp is the commit's
# time (SOURCE_DATE_EPOCH); outside a git checkout SOURCE_DATE_EPOCH must be
# given in the environment. The version is the one in CMakeLists.txt's
# project(VERSION ...).
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/.." && pwd -P)
build_root=$source_dir/build
dist=$source_dir/dist
while [ $# -gt 0 ]; do
    case "$1" in
        --build-dir) build_root=$2; shift 2 ;;
        --dist) dist=$2; shift 2 ;;
        *)
            echo "usage: $0 [--build-dir DIR] [--dist DIR]" >&2
            exit 2
            ;;
    esac
done
mkdir -p "$build_root" "$dist"
build_root=$(cd "$build_root" && pwd -P)
dist=$(cd "$dist" && pwd -P)
cd "$source_dir"

# Nothing of the builder's environment may reach the files: permissions,
# time zone, language (sorting, messages written into files).
umask 022
export TZ=UTC LC_ALL=C.UTF-8
unset LANG LANGUAGE

if [ "$(git -C "$source_dir" rev-parse --show-toplevel 2>/dev/null)" = "$source_dir" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$source_dir" log -1 --format=%ct)
    if [ -n "$(git -C "$source_dir" status --porcelain --untracked-files=no)" ]; then
        echo "warning: the source has uncommitted changes; this release is not the commit's" >&2
    fi
elif [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    echo "not a git checkout: give the commit's time as SOURCE_DATE_EPOCH" >&2
    exit 2
fi
export SOURCE_DATE_EPOCH
echo "== Release of $(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S UTC') (SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH)"

jobs=$(nproc)
# configure PRESET FOLDER: a fresh configuration of a release preset in
# BUILD_ROOT/FOLDER, without tests or benchmarks.
configure() {
    local preset=$1 folder=$build_root/$2
    rm -rf "$folder"
    cmake --preset "$preset" -S "$source_dir" -B "$folder" -Wno-dev \
        -DDULMERI_BUILD_TESTS=OFF -DDULMERI_BUILD_BENCHMARKS=OFF -DDULMERI_REPRODUCIBLE=ON >/dev/null
}
build() {
    cmake --build "$build_root/$1" -j "$jobs"
}
# cpack_setting FOLDER NAME: a setting of CPack's there (the version is
# project(VERSION ...)'s).
cpack_setting() {
    sed -n "s/^set($2 \"\\(.*\\)\")\$/\\1/p" "$build_root/$1/CPackConfig.cmake"
}
# package FOLDER GENERATORS: runs CPack; prints the files it made, one a line.
package() {
    (cd "$build_root/$1" && cpack -G "$2" >cpack.log) || { cat "$build_root/$1/cpack.log" >&2; return 1; }
    sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p' "$build_root/$1/cpack.log"
}

find "$dist" -maxdepth 1 -type f \( -name 'dulmeri[-_]*' -o -name SHA256SUMS \) -delete

echo "== Debian package"
configure release-deb release-deb
build release-deb
version=$(cpack_setting release-deb CPACK_PACKAGE_VERSION)
[ -n "$version" ] || { echo "no version in $build_root/release-deb/CPackConfig.cmake" >&2; exit 1; }
package release-deb DEB | xargs -r cp -t "$dist"

echo "== Windows ZIP, installer and Windows Installer package"
configure release-windows release-windows
build release-windows
package release-windows NSIS | xargs -r cp -t "$dist"
cmake --build "$build_root/release-windows" --target msi
cp "$build_root/release-windows/$(cpack_setting release-windows CPACK_PACKAGE_FILE_NAME).msi" "$dist"
# The ZIP is packed here, not by CPack, whose ZIP lists the files in the order
# the file system gives them, which may differ from one machine to another.
zip_name=$(cpack_setting release-windows CPACK_PACKAGE_FILE_NAME)
stage=$build_root/release-windows/zip/$zip_name
# (The program is stripped by the linker; strip would stamp a time on it.)
cmake --install "$build_root/release-windows" --prefix "$stage" >/dev/null
python3 "$source_dir/tools/reproducible_zip.py" "$dist/$zip_name.zip" "$stage" "$zip_name"

echo "== Web site and single-file page"
# The site folder as a ZIP to unpack on any web server, and the one-file page.
configure web release-web
build release-web
web=$build_root/release-web/src/web
python3 "$source_dir/tools/reproducible_zip.py" "$dist/dulmeri-$version-web.zip" \
    "$web/site" "dulmeri-$version-web"
cp "$web/dulmeri.html" "$dist/dulmeri-$version.html"

cd "$dist"
sums=$(find . -maxdepth 1 -type f ! -name SHA256SUMS -printf '%P\n' | sort | xargs -d '\n' sha256sum --)
printf '%s\n' "$sums" >SHA256SUMS
echo "== Release $version in $dist:"
cat SHA256SUMS
