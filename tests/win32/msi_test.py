#!/usr/bin/python3
"""Test of the Windows Installer package (MSI), as IT deploys it, under Wine.

    msi_test.py WINE_RUN PREFIX DISPLAY_FILE MSI WXS TEXTS

`msiexec /i MSI /qn` must install the program and the licence in
"Program Files\\Dulmeri", a Start-menu shortcut "Дулмери - терморегулатор"
to the program and an entry in Settings > Apps (the uninstall key: the
product's name, version and publisher); the installed program must start and
end with status 0 when its window is closed; `msiexec /x MSI /qn` must remove
it all: folder, shortcut, uninstall key, the installer's cached copy.

Then the upgrade: the same package as a newer version (WXS and TEXTS, the
configured source of MSI and the files beside it, built again with a higher
version) installed over the old one must replace it, leaving one program,
one shortcut and one entry, the newer; removing it must leave nothing.
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import uuid

sys.dont_write_bytecode = True
from package_test import shortcuts, start_installed_program, unix_path  # noqa: E402
from wine_session import Failure, Wine  # noqa: E402

INSTALL_DIR = r"C:\Program Files\Dulmeri"
NAME = "Дулмери - терморегулатор"
UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
TOOLS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools")


def msi_property(msi, name):
    table = subprocess.run(["msiinfo", "export", msi, "Property"], capture_output=True, check=True).stdout
    for line in table.decode("utf-8").splitlines():
        key, _, value = line.rstrip("\r").partition("\t")
        if key == name:
            return value
    raise Failure(f"{msi} has no property {name}")


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def msiexec(wine, action, msi):
    started = time.monotonic()
    result = wine.run("msiexec", action, windows_path(msi), "/qn")
    if result.returncode != 0:
        raise Failure(f"msiexec {action} {os.path.basename(msi)} /qn exited with status {result.returncode}: "
                      f"{result.stderr!r}")
    print(f"ok: msiexec {action} {os.path.basename(msi)} /qn: status 0 in {time.monotonic() - started:.1f} s")


def uninstall_entry(wine, product_code):
    """The product's values under the uninstall key, or None without one."""
    with tempfile.TemporaryDirectory() as scratch:
        exported = os.path.join(scratch, "entry.reg")
        result = wine.run("reg", "export", f"{UNINSTALL}\\{product_code}", windows_path(exported), "/y")
        if result.returncode != 0:
            return None
        with open(exported, "rb") as f:
            text = f.read().decode("utf-16")
    values = dict(re.findall(r'^"([^"]+)"="((?:[^"\\]|\\.)*)"', text, re.MULTILINE))
    # REG_EXPAND_SZ: hex(2):xx,xx,... (UTF-16), lines continued by a backslash.
    for name, data in re.findall(r'^"([^"]+)"=hex\(2\):([0-9a-f,\\\s]*)', text, re.MULTILINE):
        values[name] = bytes.fromhex(re.sub(r"[^0-9a-f]", "", data)).decode("utf-16-le").rstrip("\0")
    return values


def check_installed(wine, msi, product_code):
    folder = unix_path(wine, INSTALL_DIR)
    for wanted in ("dulmeri.exe", "LICENSE.txt"):
        if not os.path.isfile(os.path.join(folder, wanted)):
            raise Failure(f"{INSTALL_DIR}\\{wanted} was not installed; the folder holds "
                          f"{sorted(os.listdir(folder)) if os.path.isdir(folder) else 'nothing'}")
    # Windows puts it in the Start menu of all users (ALLUSERS=1); Wine's
    # msiexec in the user's own (its ProgramMenuFolder is always the user's).
    links = shortcuts(wine)
    if [os.path.basename(link) for link in links] != [NAME + ".lnk"]:
        raise Failure(f"the Start menu should hold one shortcut '{NAME}.lnk', it holds {links}")
    with open(links[0], "rb") as f:
        link = f.read()
    if "dulmeri.exe".encode("utf-16-le") not in link and b"dulmeri.exe" not in link:
        raise Failure(f"the shortcut {links[0]} does not point at dulmeri.exe")
    entry = uninstall_entry(wine, product_code)
    if entry is None:
        raise Failure(f"no uninstall entry {UNINSTALL}\\{product_code}")
    wanted = {"DisplayName": NAME, "DisplayVersion": msi_property(msi, "ProductVersion"),
              "Publisher": msi_property(msi, "Manufacturer")}
    for key, value in wanted.items():
        if entry.get(key) != value:
            raise Failure(f"the uninstall entry's {key} is {entry.get(key)!r}, not {value!r}")
    if "MsiExec.exe /X" + product_code not in entry.get("UninstallString", ""):
        raise Failure(f"the uninstall entry does not remove with msiexec: {entry.get('UninstallString')!r}")
    print(f"ok: {INSTALL_DIR} holds dulmeri.exe and LICENSE.txt; Start menu: "
          f"{os.path.relpath(links[0], wine.prefix)}; Settings > Apps: {entry['DisplayName']} "
          f"{entry['DisplayVersion']}, {entry['Publisher']}")


def check_removed(wine, product_codes):
    left = []
    if os.path.exists(unix_path(wine, INSTALL_DIR)):
        left.append(INSTALL_DIR)
    left += shortcuts(wine)
    for code in product_codes:
        if uninstall_entry(wine, code) is not None:
            left.append(f"{UNINSTALL}\\{code}")
        if os.path.exists(unix_path(wine, f"C:\\windows\\Installer\\{code}")):
            left.append(f"C:\\windows\\Installer\\{code}")
    if left:
        raise Failure(f"removed, but left behind: {left}")
    print("ok: removed: no folder, no shortcut, no uninstall entry, no cached installer files")


def newer_package(scratch, wxs, texts, version):
    """The same package with a later version: its source and files copied,
    the version raised, a product code of its own, built as the release is."""
    source = os.path.join(scratch, "source")
    shutil.copytree(os.path.dirname(os.path.abspath(wxs)), source)
    path = os.path.join(source, os.path.basename(wxs))
    with open(path, encoding="utf-8") as f:
        text = f.read()
    newer = ".".join(version.split(".")[:-1] + [str(int(version.split(".")[-1]) + 1)])
    text, versions = re.subn(rf'(<Product\b[^>]*\bVersion="){re.escape(version)}"', rf'\g<1>{newer}"', text)
    text, codes = re.subn(r'(<Product\b[^>]*\bId=")[^"]*"', rf'\g<1>{str(uuid.uuid4()).upper()}"', text)
    if versions != 1 or codes != 1:
        raise Failure(f"{wxs}: no Product element with Id and Version {version}")
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)
    msi = os.path.join(scratch, f"dulmeri-{newer}-win64.msi")
    subprocess.run([sys.executable, os.path.join(TOOLS, "reproducible_msi.py"), msi, path,
                    os.path.join(source, os.path.basename(texts))], check=True)
    return msi


def main():
    if len(sys.argv) != 7:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    started = time.monotonic()
    msi, wxs, texts = sys.argv[4:7]
    try:
        wine = Wine(*sys.argv[1:4])
        code = msi_property(msi, "ProductCode")
        version = msi_property(msi, "ProductVersion")
        print(f"{os.path.basename(msi)}: {os.path.getsize(msi)} bytes, product code {code}, version {version}")
        # What a failed earlier run may have left installed in the tests' prefix.
        wine.run("msiexec", "/x", windows_path(msi), "/qn")
        check_removed(wine, [code])

        msiexec(wine, "/i", msi)
        check_installed(wine, msi, code)
        start_installed_program(wine)
        msiexec(wine, "/x", msi)
        check_removed(wine, [code])

        with tempfile.TemporaryDirectory() as scratch:
            newer = newer_package(scratch, wxs, texts, version)
            newer_code = msi_property(newer, "ProductCode")
            msiexec(wine, "/i", msi)
            msiexec(wine, "/i", newer)
            check_installed(wine, newer, newer_code)
            if uninstall_entry(wine, code) is not None:
                raise Failure(f"after the upgrade to {msi_property(newer, 'ProductVersion')}, "
                              f"version {version}'s uninstall entry is still there")
            print(f"ok: the upgrade replaced {version}: one entry left, the newer")
            msiexec(wine, "/x", newer)
            check_removed(wine, [code, newer_code])
    except Failure as failure:
        print(f"FAIL: {failure}")
        return 1
    print(f"PASS ({time.monotonic() - started:.1f} s)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
