#!/usr/bin/env bash
# Builds every file of a release into dist/, from fresh build folders:
#
#   dulmeri_<version>_amd64.deb       the Debian package (PCs)
#   dulmeri_<version>_arm64.deb       the Debian package for 64-bit ARM
#                                     (Raspberry Pi OS), cross-built
#   dulmeri-<version>-win64.zip       the portable Windows copy
#   dulmeri-<version>-win64.exe       the Windows installer
#   dulmeri-<version>-win64.msi       the Windows Installer package, for IT
#   dulmeri-<version>-web.zip         the web site folder
#   dulmeri-<version>.html            the one-file web page
#   SHA256SUMS                        their checksums (sha256sum -c SHA256SUMS)
#
#   tools/release.sh [--build-dir DIR] [--dist DIR]
#
# --build-dir  where the release build folders go (DIR/deb-amd64, ...);
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
# project(VERSION ...), which the build checks debian/changelog against.
#
# The Debian packages are built by dpkg-buildpackage from debian/, each from
# a copy of the source's files in DIR/deb-<arch> (dpkg-buildpackage writes
# beside the tree it builds: nothing is written beside the source). The
# package's tests are left out (DEB_BUILD_OPTIONS=nocheck) unless
# DEB_BUILD_OPTIONS is given; the arm64 package is cross-built, and needs the
# arm64 packages of tools/debian-packages-arm64.txt.
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

# The Debian packages are built in the caller's umask, time zone and
# language, as a distribution's build machines build them: dpkg-buildpackage
# and debian/rules make the same bytes whatever these are
# (tools/check-reproducible.sh varies them).
deb_umask=$(umask)
deb_unset=() deb_set=()
for name in TZ LANG LANGUAGE LC_ALL LOCPATH; do
    if [ -n "${!name+set}" ]; then deb_set+=("$name=${!name}"); else deb_unset+=(-u "$name"); fi
done
# For the rest nothing of the builder's environment may reach the files:
# permissions, time zone, language (sorting, messages written into files).
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
version=$(dpkg-parsechangelog -l "$source_dir/debian/changelog" -S Version)
project_version=$(sed -n 's/^ *VERSION \([0-9.]*\)$/\1/p' "$source_dir/CMakeLists.txt" | head -n 1)
if [ "$version" != "$project_version" ]; then
    echo "debian/changelog's newest version is '$version', CMakeLists.txt's project(VERSION) '$project_version'" >&2
    exit 1
fi
native_arch=$(dpkg --print-architecture)
deb_arches=(amd64 arm64)

# What each Debian package's build needs, said before anything is built.
missing_build_dependencies() {
    local arch=$1 options=() triplet
    [ "$arch" = "$native_arch" ] || options=(-a "$arch" "-Pcross,nocheck")
    (cd "$source_dir" && dpkg-checkbuilddeps "${options[@]}" 2>&1) |
        sed -n 's/^dpkg-checkbuilddeps: error: Unmet build dependencies: //p'
    # dpkg-checkbuilddeps takes the compiler for granted (build-essential).
    if [ "$arch" != "$native_arch" ]; then
        triplet=$(dpkg-architecture -a "$arch" -q DEB_HOST_GNU_TYPE 2>/dev/null)
        command -v "$triplet-g++" >/dev/null || echo "crossbuild-essential-$arch"
    fi
}
for arch in "${deb_arches[@]}"; do
    missing=$(missing_build_dependencies "$arch" | xargs)
    if [ -n "$missing" ]; then
        echo "The $arch Debian package cannot be built: missing build dependencies: $missing" >&2
        if [ "$arch" != "$native_arch" ]; then
            if ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
                echo "  ($arch is not a foreign architecture of dpkg here)" >&2
            fi
            echo "  Install them with: dpkg --add-architecture $arch && apt-get update &&" \
                 "apt-get install \$(sed 's/#.*//' tools/debian-packages-$arch.txt)" >&2
            echo "  (tools/setup.sh test does this in its $arch stage)" >&2
        else
            echo "  Install them with: apt-get build-dep ./   (or tools/setup.sh, from tools/debian-packages.txt)" >&2
        fi
        exit 1
    fi
done

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
# copy_source TREE: the source's files, as a fresh clone has them (in a git
# checkout: the tracked files and the untracked ones git does not ignore, as
# they are in the working tree; elsewhere: everything but the build's and
# the release's folders).
copy_source() {
    mkdir -p "$1"
    if [ -d "$source_dir/.git" ] || [ -f "$source_dir/.git" ]; then
        git -C "$source_dir" ls-files -z --cached --others --exclude-standard |
            (cd "$source_dir" && tar --null --files-from=- --ignore-failed-read -cf -) |
            tar -xf - -C "$1"
    else
        (cd "$source_dir" && tar --exclude=./build --exclude=./dist --exclude=./out \
             --exclude=node_modules --exclude=__pycache__ --exclude="./${build_root#"$source_dir"/}" -cf - .) |
            tar -xf - -C "$1"
    fi
}
# deb_package ARCH: the Debian package for ARCH, by dpkg-buildpackage in
# BUILD_ROOT/deb-ARCH (the arm64 one cross-built: -a arm64, profiles cross
# and nocheck; its tests run under qemu in the arm64 preset).
deb_package() {
    local arch=$1 folder=$build_root/deb-$1 options=()
    local tree=$folder/dulmeri-$version build_options=${DEB_BUILD_OPTIONS-nocheck}
    rm -rf "$folder"
    copy_source "$tree"
    if [ "$arch" != "$native_arch" ]; then
        options=(-a "$arch" "-Pcross,nocheck")
        build_options="$build_options nocheck"
    fi
    if ! (cd "$tree" && umask "$deb_umask" &&
              env "${deb_unset[@]}" "${deb_set[@]}" DEB_BUILD_OPTIONS="$build_options parallel=$jobs" \
                  dpkg-buildpackage -us -uc -b "${options[@]}" >"$folder/build.log" 2>&1); then
        tail -n 40 "$folder/build.log" >&2
        echo "dpkg-buildpackage for $arch failed (log: $folder/build.log)" >&2
        return 1
    fi
    cp "$folder/dulmeri_${version}_$arch.deb" "$dist/"
}

find "$dist" -maxdepth 1 -type f \( -name 'dulmeri[-_]*' -o -name SHA256SUMS \) -delete

for arch in "${deb_arches[@]}"; do
    echo "== Debian package ($arch)"
    deb_package "$arch"
done

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
