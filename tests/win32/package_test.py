#!/usr/bin/python3
"""Tests of the Windows packages: the portable ZIP and the NSIS installer.

    package_test.py WINE_RUN PREFIX DISPLAY_FILE ZIP INSTALLER

The ZIP must hold dulmeri.exe and the licence. The installer must install
silently (/S) under Wine into the tests' prefix: the program and the
licence in "Program Files\\Dulmeri", an uninstaller, and a Start-menu
shortcut to the program; the installed program must start and end with
status 0 when its window is closed; the uninstaller (/S) must remove it all.
"""

import os
import sys
import time
import zipfile

sys.dont_write_bytecode = True
from wine_session import (TIMEOUT, Failure, Wine, close_and_expect_status_0, stop, wait_for,  # noqa: E402
                          wait_for_window)

INSTALL_DIR = r"C:\Program Files\Dulmeri"



def start_installed_program(wine):
    """The program installed in INSTALL_DIR opens its window and ends with status 0 when closed."""
    from Xlib import display as xdisplay

    x_display = xdisplay.Display(wine.display)
    process = wine.start(INSTALL_DIR + "\\dulmeri.exe")
    try:
        window = wait_for_window(x_display, process)
        print("ok: the installed program opens its window")
        close_and_expect_status_0(window, process)
    finally:
        stop(process)
        x_display.close()

def check_zip(path):
    with zipfile.ZipFile(path) as archive:
        names = archive.namelist()
        top = {name.split("/")[0] for name in names}
        if len(top) != 1:
            raise Failure(f"the ZIP should hold one folder, it holds {sorted(top)}")
        folder = top.pop()
        for wanted in ("dulmeri.exe", "LICENSE.txt"):
            if f"{folder}/{wanted}" not in names:
                raise Failure(f"the ZIP has no {folder}/{wanted}; it has {names}")
        program = archive.read(f"{folder}/dulmeri.exe")
        if program[:2] != b"MZ":
            raise Failure("dulmeri.exe in the ZIP is not a Windows program")
        if b"MIT License" not in archive.read(f"{folder}/LICENSE.txt"):
            raise Failure("LICENSE.txt in the ZIP is not the licence")
    print(f"ok: the ZIP holds {folder}/dulmeri.exe ({len(program)} bytes) and {folder}/LICENSE.txt")


def unix_path(wine, windows_path):
    assert windows_path[:3].upper() == "C:\\"
    return os.path.join(wine.prefix, "drive_c", *windows_path[3:].split("\\"))


def shortcuts(wine):
    """The program's Start-menu shortcuts. The walk does not follow links:
    Wine links the user's folders in drive_c to the home folder, which may
    hold this very prefix."""
    found = []
    for folder, _, files in os.walk(os.path.join(wine.prefix, "drive_c")):
        if "Start Menu" in folder.split(os.sep):
            found += [os.path.join(folder, name) for name in files if name.endswith(".lnk") and "Дулмери" in name]
    return found


def check_installer(wine, installer):
    started = time.monotonic()
    result = wine.run(installer, "/S")
    if result.returncode != 0:
        raise Failure(f"the silent install exited with status {result.returncode}: {result.stderr!r}")
    print(f"ok: installed silently in {time.monotonic() - started:.1f} s")
    folder = unix_path(wine, INSTALL_DIR)
    for wanted in ("dulmeri.exe", "LICENSE.txt", "Uninstall.exe"):
        if not os.path.isfile(os.path.join(folder, wanted)):
            raise Failure(f"{INSTALL_DIR}\\{wanted} was not installed; the folder holds "
                          f"{sorted(os.listdir(folder)) if os.path.isdir(folder) else 'nothing'}")
    print(f"ok: {INSTALL_DIR} holds dulmeri.exe, LICENSE.txt and Uninstall.exe")
    links = shortcuts(wine)
    if not links:
        raise Failure("no Start-menu shortcut named 'Дулмери ...' was made")
    with open(links[0], "rb") as f:
        link = f.read()
    if "dulmeri.exe".encode("utf-16-le") not in link and b"dulmeri.exe" not in link:
        raise Failure(f"the shortcut {links[0]} does not point at dulmeri.exe")
    print(f"ok: Start-menu shortcut {os.path.relpath(links[0], wine.prefix)}")

    start_installed_program(wine)

    # The uninstaller copies itself away and removes the folder from there.
    result = wine.run(INSTALL_DIR + "\\Uninstall.exe", "/S")
    if result.returncode != 0:
        raise Failure(f"the silent uninstall exited with status {result.returncode}")
    wait_for(lambda: not os.path.exists(os.path.join(folder, "dulmeri.exe")) and not shortcuts(wine), TIMEOUT,
             "the uninstaller to remove the program and its shortcut")
    print("ok: uninstalled silently: program and shortcut removed")


def main():
    if len(sys.argv) != 6:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    started = time.monotonic()
    try:
        wine = Wine(*sys.argv[1:4])
        check_zip(sys.argv[4])
        check_installer(wine, sys.argv[5])
    except Failure as failure:
        print(f"FAIL: {failure}")
        return 1
    print(f"PASS ({time.monotonic() - started:.1f} s)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
