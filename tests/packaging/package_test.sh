#!/usr/bin/env bash
# Checks the Debian package as a user would get it:
#   - the files it installs (and nothing else),
#   - lintian, Debian's package checker: no error and no warning,
#   - its control data (dependencies found by dpkg-shlibdeps plus Qt's
#     platform plugins, the font and Qt's Bulgarian catalogue, Qt's Wayland
#     plugin recommended),
#   - the desktop entry and the AppStream metainfo with their validators,
#   - the unpacked program: it opens its window on a fresh X server, with and
#     without (ignored) command-line arguments; a package for another
#     architecture (arm64, cross-built) runs under qemu-user, with the
#     libraries of that architecture installed here beside the machine's own.
#
#   package_test.sh PACKAGE.deb SCRATCH_DIR VERSION
#
# VERSION is the project's version, which the package must carry.
# SCRATCH_DIR is emptied and reused; it should lie inside the build tree.
set -euo pipefail

if [ $# -ne 3 ]; then
    echo "usage: $0 PACKAGE.deb SCRATCH_DIR VERSION" >&2
    exit 2
fi
deb=$1
work=$2
version=$3
app_id=org.example.Dulmeri
title_tail="Дулмери - терморегулатор"

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
pass() {
    echo "ok: $*"
}

[ -f "$deb" ] || { echo "FAIL: no package at $deb" >&2; exit 1; }
case "$work" in
    "" | / ) echo "refusing scratch dir '$work'" >&2; exit 2 ;;
esac
rm -rf "$work"
mkdir -p "$work"
root=$work/root
dpkg-deb -x "$deb" "$root"

# The package's architecture: the machine's own, or one run under qemu-user.
arch=$(dpkg-deb -f "$deb" Architecture)
emulator=()
wait_steps=100  # tenths of a second for the window to appear
if [ "$arch" != "$(dpkg --print-architecture)" ]; then
    case "$arch" in
        arm64) emulator=(qemu-aarch64 -L /) ;;
        *) echo "FAIL: no emulator known for a $arch package" >&2; exit 1 ;;
    esac
    command -v "${emulator[0]}" >/dev/null ||
        { echo "FAIL: ${emulator[0]} (qemu-user) is needed to run the $arch program" >&2; exit 1; }
    wait_steps=900
fi

# --- Files ------------------------------------------------------------------
expected_files=$(sort <<EOF
usr/bin/dulmeri
usr/share/applications/$app_id.desktop
usr/share/doc/dulmeri/changelog.gz
usr/share/doc/dulmeri/copyright
usr/share/icons/hicolor/32x32/apps/$app_id.png
usr/share/icons/hicolor/48x48/apps/$app_id.png
usr/share/icons/hicolor/scalable/apps/$app_id.svg
usr/share/man/bg/man1/dulmeri.1.gz
usr/share/man/man1/dulmeri.1.gz
usr/share/metainfo/$app_id.metainfo.xml
EOF
)
actual_files=$(cd "$root" && find . \( -type f -o -type l \) -printf '%P\n' | sort)
if [ "$actual_files" = "$expected_files" ]; then
    pass "package holds exactly the expected files"
else
    fail "package files differ from the expected ones (< expected, > packaged):"
    diff <(echo "$expected_files") <(echo "$actual_files") >&2 || true
fi

binary=$root/usr/bin/dulmeri
if [ -x "$binary" ] && file -b "$binary" | grep -q '^ELF .* executable'; then
    pass "usr/bin/dulmeri is an ELF executable"
else
    fail "usr/bin/dulmeri is missing or not an executable: $(file -b "$binary" 2>&1)"
fi
if file -b "$binary" 2>/dev/null | grep -q ', stripped'; then
    pass "the program is stripped"
else
    fail "the program is not stripped"
fi
if readelf -d "$binary" 2>/dev/null | grep -Eq '\((RPATH|RUNPATH)\)'; then
    fail "the program carries a run path: $(readelf -d "$binary" | grep -E 'RPATH|RUNPATH')"
else
    pass "the program has no run path into the build tree"
fi

check_png() {
    local path=$1 size=$2 description
    description=$(file -b "$root/$path" 2>&1)
    if [[ "$description" == "PNG image data, $size x $size,"* ]]; then
        pass "$path is a ${size}x$size PNG"
    else
        fail "$path is not a ${size}x$size PNG: $description"
    fi
}
check_png usr/share/icons/hicolor/32x32/apps/$app_id.png 32
check_png usr/share/icons/hicolor/48x48/apps/$app_id.png 48
if file -b "$root/usr/share/icons/hicolor/scalable/apps/$app_id.svg" | grep -q 'SVG'; then
    pass "scalable icon is an SVG"
else
    fail "scalable icon is not an SVG"
fi

# --- lintian --------------------------------------------------------------------
# Errors and warnings fail; the informational and pedantic tags are shown.
# (lintian says that running it as root is not recommended: it only reads
# the package here.)
if output=$(lintian --fail-on error,warning --display-info --pedantic "$deb" 2>&1); then
    pass "lintian: no errors and no warnings"
else
    fail "lintian:"
fi
grep -v 'running with root privileges' <<<"$output" | sed 's/^/  lintian: /' || true

# The manual pages and the changelog: the version and the release's date.
for page in usr/share/man/man1/dulmeri.1.gz usr/share/man/bg/man1/dulmeri.1.gz; do
    if zcat "$root/$page" | grep -q "^\.TH DULMERI 1 \"[0-9-]*\" \"dulmeri $version\""; then
        pass "$page is dulmeri(1) of version $version"
    else
        fail "$page: $(zcat "$root/$page" | grep '^\.TH')"
    fi
done
changelog_head=$(zcat "$root/usr/share/doc/dulmeri/changelog.gz" | head -n 1)
if [[ "$changelog_head" == "dulmeri ($version) "* ]]; then
    pass "changelog starts with $version"
else
    fail "changelog starts with '$changelog_head'"
fi

# --- Control data -------------------------------------------------------------
field() { dpkg-deb -f "$deb" "$1"; }
if [ "$(field Package)" = dulmeri ]; then pass "Package: dulmeri"; else fail "Package is '$(field Package)'"; fi
if [ "$(field Version)" = "$version" ]; then pass "Version: $version"; else fail "Version is '$(field Version)', expected $version"; fi
if [ "$(field Section)" = education ]; then pass "Section: education"; else fail "Section is '$(field Section)'"; fi
if [ -n "$(field Maintainer)" ]; then pass "Maintainer is set"; else fail "no Maintainer"; fi
if [ -n "$(field Description)" ]; then pass "Description is set"; else fail "no Description"; fi

depends=$(field Depends)
echo "Depends: $depends"
# One package name per line, versions and alternatives dropped.
depends_names=$(tr ',|' '\n' <<<"$depends" | sed -e 's/(.*)//' -e 's/[[:space:]]//g' -e '/^$/d')
# Qt's platform plugins (X11's, Wayland's is qt6-wayland) are only recommended
# by Qt's libraries: without them the window cannot open, so the package
# depends on them itself.
for wanted in libqt6widgets6 qt6-qpa-plugins fonts-liberation qt6-translations-l10n libc6; do
    if grep -qx "$wanted" <<<"$depends_names"; then
        pass "Depends names $wanted"
    else
        fail "Depends lacks $wanted"
    fi
done
# Every dependency must be a real package: here, where the program runs, each
# one is installed (of the package's architecture, or for all architectures).
installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}
for name in $depends_names; do
    if ! installed "$name:$arch" && ! installed "$name:all" &&
       ! { [ "$arch" = "$(dpkg --print-architecture)" ] && installed "$name"; }; then
        fail "dependency $name is not an installed package"
    fi
done

recommends=$(field Recommends)
if [ "$recommends" = qt6-wayland ]; then pass "Recommends: qt6-wayland"; else fail "Recommends is '$recommends', expected 'qt6-wayland'"; fi

# --- Desktop entry and metainfo -------------------------------------------------
desktop=$root/usr/share/applications/$app_id.desktop
metainfo=$root/usr/share/metainfo/$app_id.metainfo.xml

if output=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$output" ]; then
    pass "desktop-file-validate: no errors, warnings or hints"
else
    fail "desktop-file-validate: $output"
fi
desktop_key() { sed -n "s/^$1=//p" "$desktop"; }
if [ "$(desktop_key Exec)" = dulmeri ]; then pass "Exec=dulmeri"; else fail "Exec is '$(desktop_key Exec)'"; fi
if [ "$(desktop_key Icon)" = "$app_id" ]; then pass "Icon=$app_id"; else fail "Icon is '$(desktop_key Icon)'"; fi
if [ "$(desktop_key 'Name\[bg\]')" = "$title_tail" ]; then
    pass "Bulgarian Name"
else
    fail "Name[bg] is '$(desktop_key 'Name\[bg\]')'"
fi
if [ -n "$(desktop_key 'Comment\[bg\]')" ] && [ -n "$(desktop_key Comment)" ]; then
    pass "Comment and Comment[bg]"
else
    fail "Comment or Comment[bg] missing"
fi

# --strict fails on errors, warnings and infos. Pedantic hints are only shown:
# the one expected is the upper-case letter of the reverse-DNS id, kept on
# purpose because the id is also the desktop file's and the icons' name.
if output=$(appstreamcli validate --no-net --strict "$metainfo" 2>&1); then
    pass "appstreamcli validate --strict"
else
    fail "appstreamcli validate: $output"
fi
appstreamcli validate --no-net --pedantic "$metainfo" 2>&1 | sed 's/^/  appstream (pedantic): /' || true
# The tree check also ties the metainfo to the desktop entry and the icons.
if output=$(appstreamcli validate-tree --no-net --strict "$root" 2>&1); then
    pass "appstreamcli validate-tree --strict"
else
    fail "appstreamcli validate-tree: $output"
fi
if grep -q "<id>$app_id</id>" "$metainfo"; then pass "metainfo id $app_id"; else fail "metainfo id is not $app_id"; fi
if grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo"; then
    pass "metainfo launches $app_id.desktop"
else
    fail "metainfo launchable is not $app_id.desktop"
fi
if grep -q "<release version=\"$version\"" "$metainfo"; then pass "metainfo release $version"; else fail "no release $version in the metainfo"; fi

# --- The program on a fresh X server ------------------------------------------
xvfb_pid=
program_pid=
cleanup() {
    if [ -n "$program_pid" ]; then
        kill "$program_pid" 2>/dev/null || true
        wait "$program_pid" 2>/dev/null || true
    fi
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
}
trap cleanup EXIT

# Xvfb picks a free display itself and writes its number to the given fd.
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp -noreset \
    5>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
if ! [ -s "$work/display" ]; then
    fail "Xvfb did not start: $(cat "$work/xvfb.log")"
    exit 1
fi
DISPLAY=":$(head -n1 "$work/display")"
export DISPLAY
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
# No session bus: otherwise libdbus would autolaunch one for this display (and
# the accessibility bus after it), which would outlive the test for a while.
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-session-bus"
# xdotool reads the window names through the locale.
export LC_ALL=C.UTF-8

# run_program NAME ARGS...: starts the unpacked program and waits for its window.
run_program() {
    local label=$1
    shift
    local log=$work/program-$label.log window="" name
    "${emulator[@]}" "$binary" "$@" >"$log" 2>&1 &
    program_pid=$!
    for _ in $(seq "$wait_steps"); do
        window=$(xdotool search --onlyvisible --pid "$program_pid" --name "терморегулатор" 2>/dev/null |
                 head -n1) || true
        [ -n "$window" ] && break
        kill -0 "$program_pid" 2>/dev/null || break
        sleep 0.1
    done
    if [ -z "$window" ]; then
        fail "$label: no window titled ...терморегулатор appeared; program output:"
        cat "$log" >&2
    else
        name=$(xdotool getwindowname "$window")
        if [[ "$name" == *"  $title_tail" ]]; then
            pass "$label: window '$name' is shown"
        else
            fail "$label: window title '$name' does not end in '  $title_tail'"
        fi
        # Still running a while later: the window is not a flash before a crash.
        sleep 2
        if kill -0 "$program_pid" 2>/dev/null; then
            pass "$label: program keeps running"
        else
            fail "$label: program ended on its own; output:"
            cat "$log" >&2
        fi
    fi
    kill "$program_pid" 2>/dev/null || true
    wait "$program_pid" 2>/dev/null || true
    if kill -0 "$program_pid" 2>/dev/null; then
        fail "$label: program $program_pid still runs after being killed"
    fi
    program_pid=
}

run_program "no arguments"
# The program takes no arguments: neither its own-looking options nor Qt's
# must change what it does.
run_program "bogus arguments" --help --version -v /nonexistent/file.txt "" "два думи" \
    -style=bogus -platform nonexistent -display :9999 -reverse

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "all package checks passed"
