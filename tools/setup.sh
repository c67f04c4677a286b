#!/usr/bin/env bash
# Set-up for a fresh Debian 12 machine: installs what is missing, builds, and
# then either runs the program or runs every test.
#
#   tools/setup.sh run    build and open the program
#   tools/setup.sh test   check the style (tools/lint.sh), then build and run
#                         every test (normal build, then the arm64 build,
#                         cross-compiled, its tests under qemu-aarch64, then
#                         the release built twice under different conditions
#                         to check it is reproducible, then the sanitizer
#                         build), then the fuzzers for a bounded
#                         time each, then the Windows build (cross-compiled,
#                         its tests run under Wine on a private Xvfb), then the
#                         web build (WebAssembly: the core's tests under Node,
#                         the page in Chromium, Firefox and WebKit)
set -euo pipefail

cd "$(dirname "$0")/.."
mode="${1:-}"
case "$mode" in
    run | test) ;;
    *)
        echo "usage: $0 run|test" >&2
        exit 2
        ;;
esac

# install_missing_packages [LIST [FOREIGN_ARCH]]: the packages of LIST
# (default tools/debian-packages.txt) that are not installed yet; with
# FOREIGN_ARCH, that architecture is first added to dpkg's (multiarch).
install_missing_packages() {
    local list=${1:-tools/debian-packages.txt} foreign=${2:-} wanted missing=()
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    if [ -n "$foreign" ] && ! dpkg --print-foreign-architectures | grep -qx "$foreign"; then
        echo "Adding the foreign architecture $foreign"
        "${sudo[@]}" dpkg --add-architecture "$foreign"
    fi
    wanted=$(sed -e 's/#.*//' -e '/^[[:space:]]*$/d' "$list")
    for package in $wanted; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return
    fi
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# npm: Debian's nodejs leaves it to a package of its own, while Node's own
# builds for Debian carry it inside nodejs (and conflict with Debian's npm),
# so it is installed only where the command is missing.
install_npm_if_missing() {
    command -v npm >/dev/null && return
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    echo "Installing: npm"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends npm
}

build() {
    local preset="$1"
    shift
    cmake --preset "$preset" -Wno-dev >/dev/null
    cmake --build --preset "$preset" "$@"
}

install_missing_packages
install_npm_if_missing
jobs=$(nproc)

if [ "$mode" = run ]; then
    build default --target dulmeri
    exec build/default/src/qt/dulmeri
fi

echo "== Style: C++ format, shellcheck, pyflakes, ESLint"
# ESLint from the npm registry, as locked in tools/lint.
(cd tools/lint && npm ci --no-audit --no-fund)
tools/lint.sh

echo "== Normal build: all tests but the release's"
build default
ctest --preset default -j "$jobs" -LE release

echo "== arm64 build (Raspberry Pi OS: cross-compiled, its tests run under qemu-aarch64)"
# The arm64 architecture is added to dpkg here only, for the cross compiler,
# qemu and the arm64 libraries (tools/debian-packages-arm64.txt), which the
# release's arm64 package needs too.
install_missing_packages tools/debian-packages-arm64.txt arm64
build arm64
ctest --preset arm64

echo "== Release: built twice under different conditions, the same bytes; its Debian packages checked"
ctest --preset default -L release

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build: all tests"
build asan
ctest --preset asan -j "$jobs"

echo "== Fuzzers (bounded runs)"
build fuzz
ctest --preset fuzz

echo "== Windows build (MinGW-w64, tested under Wine)"
# The tests start their own X server (tests/win32/display.sh) and make the
# ZIP, the installer and the Windows Installer package
# (build/windows/dulmeri-*-win64.{zip,exe,msi}).
build windows
ctest --preset windows

echo "== Web build (Emscripten: the core under Node, the page in Chromium, Firefox and WebKit)"
build web
# Playwright, axe-core, Puppeteer and Selenium's WebDriver client from the npm
# registry, as locked; the browsers are Debian's (chromium, firefox-esr,
# webkit2gtk-driver's MiniBrowser), so none is downloaded.
(cd tests/web && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund)
ctest --preset web
