#!/usr/bin/python3
"""Builds the Windows Installer package with wixl, the same bytes wherever and
whenever it is made.

    reproducible_msi.py OUTPUT.msi SOURCE.wxs TEXTS.sql

SOURCE.wxs is WiX 3 source; the files it names lie beside it. TEXTS.sql holds
SQL statements, one a line, that put the package's texts that are not ASCII
into its tables (see below).

What wixl (msitools 0.101) leaves to be done here:
  - It makes the database without a code page, and then drops every string
    of a table that is not ASCII (the product's name, the shortcut's...). The
    database is given the product's code page (Product/@Codepage) and the
    statements of TEXTS.sql are run in it, which write those texts again,
    converted to that code page.
  - It writes the summary information's strings as UTF-8 whatever the code
    page: the subject (Package/@Description) is written again in the code page.
  - It takes no package code from the source (Package/@Id) and writes a
    random one: the package code is derived here from what the package is
    made of (name-based UUID, in the UpgradeCode's namespace), so another
    build of the same files has the same code and a changed file a new one.
  - It writes the languages as 1033 (Package/@Languages is read here).
  - It stamps the summary information with the current time (creation and
    last saving) and the cabinet with the files' modification times: all
    become SOURCE_DATE_EPOCH (the commit's time; without it, the newest
    file's time).
The compound file itself carries no other time: wixl writes its entries'
times as zero.
"""

import hashlib
import os
import re
import struct
import subprocess
import sys
import tempfile
import uuid
import xml.etree.ElementTree as ElementTree

import olefile

WIX = "{http://schemas.microsoft.com/wix/2006/wi}"
SUMMARY = "\x05SummaryInformation"
PID_CREATE_DTM, PID_LASTSAVE_DTM = 12, 13
VT_FILETIME = 0x40
EPOCH_AS_FILETIME = 116444736000000000  # 1970-01-01 in 100 ns steps since 1601-01-01


def filetime(epoch):
    return EPOCH_AS_FILETIME + epoch * 10_000_000


def set_times(msi, epoch):
    """Sets the summary information's creation and last-saved times, in place
    (a FILETIME keeps its size, so the stream does)."""
    with olefile.OleFileIO(msi, write_mode=True) as ole:
        stream = bytearray(ole.openstream(SUMMARY).read())
        # Property set: a 28-byte header, then the section's (FMTID, offset);
        # the section is its size, its count of properties and their
        # (id, offset) pairs, each property's type (4 bytes) and value.
        section = struct.unpack_from("<I", stream, 44)[0]
        count = struct.unpack_from("<I", stream, section + 4)[0]
        found = set()
        for index in range(count):
            pid, offset = struct.unpack_from("<II", stream, section + 8 + 8 * index)
            if pid in (PID_CREATE_DTM, PID_LASTSAVE_DTM):
                where = section + offset
                if struct.unpack_from("<I", stream, where)[0] != VT_FILETIME:
                    raise SystemExit(f"{msi}: summary property {pid} is not a time")
                struct.pack_into("<Q", stream, where + 4, filetime(epoch))
                found.add(pid)
        if found != {PID_CREATE_DTM, PID_LASTSAVE_DTM}:
            raise SystemExit(f"{msi}: the summary information has no creation or last-saved time")
        ole.write_stream(SUMMARY, bytes(stream))


def check_written(msi, statement):
    """The text an UPDATE statement of TEXTS.sql writes is in its table: the
    statement named a row that exists."""
    table, value = re.match(r"UPDATE `(\w+)` SET `\w+` = '([^']*)'", statement).groups()
    exported = subprocess.run(["msiinfo", "export", msi, table], capture_output=True, check=True).stdout
    if value not in exported.decode("utf-8"):
        raise SystemExit(f"{msi}: the table {table} does not hold {value!r} after: {statement}")


def main():
    if len(sys.argv) != 4:
        print(__doc__.strip().splitlines()[3].strip(), file=sys.stderr)
        return 2
    output, source, texts = sys.argv[1:]
    folder = os.path.dirname(os.path.abspath(source))
    root = ElementTree.parse(source).getroot()
    product = root.find(WIX + "Product")
    package = product.find(WIX + "Package")
    codepage = product.get("Codepage")
    files = sorted({os.path.join(folder, element.get(name))
                    for element in root.iter() for name in ("Source", "SourceFile") if element.get(name)})
    with open(texts, encoding="utf-8") as f:
        statements = [line.strip() for line in f if line.strip() and not line.startswith("--")]
    # Every text of the tables that is not ASCII must be written again, or
    # the package would install with an empty name somewhere. (The package's
    # description goes to the summary information, written again below.)
    for element in root.iter():
        for name, value in element.items():
            if not value.isascii() and element is not package and not any(value in s for s in statements):
                raise SystemExit(f"{source}: {element.tag.replace(WIX, '')}/@{name} is not ASCII and "
                                 f"{texts} does not write it: wixl would leave it out")

    made_of = hashlib.sha256()
    for path in [source, texts] + files:
        with open(path, "rb") as f:
            made_of.update(hashlib.sha256(f.read()).digest())
    package_code = uuid.uuid5(uuid.UUID(product.get("UpgradeCode")), made_of.hexdigest())

    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    epoch = int(epoch) if epoch else int(max(os.stat(path).st_mtime for path in files))
    for path in files:
        os.utime(path, (epoch, epoch))

    environment = dict(os.environ, TZ="UTC", LC_ALL="C.UTF-8")
    os.makedirs(os.path.dirname(os.path.abspath(output)), exist_ok=True)
    with tempfile.TemporaryDirectory(dir=os.path.dirname(os.path.abspath(output))) as scratch:
        msi = os.path.join(scratch, "package.msi")
        subprocess.run(["wixl", "-a", "x64", "-o", msi, os.path.abspath(source)], cwd=folder, env=environment,
                       check=True, stderr=subprocess.DEVNULL)
        force_codepage = os.path.join(scratch, "_ForceCodepage.idt")
        with open(force_codepage, "w", newline="") as f:
            f.write(f"\r\n\r\n{codepage}\t_ForceCodepage\r\n")
        command = ["msibuild", msi, "-i", force_codepage]
        for statement in statements:
            command += ["-q", statement]
        # Subject, author, template (platform;languages), package code.
        template = f"x64;{package.get('Languages')}"
        command += ["-s", package.get("Description").encode(f"cp{codepage}"),
                    package.get("Manufacturer").encode(f"cp{codepage}"),
                    template, "{" + str(package_code).upper() + "}"]
        subprocess.run(command, env=environment, check=True)
        for statement in statements:
            check_written(msi, statement)
        set_times(msi, epoch)
        os.replace(msi, output)
    return 0


if __name__ == "__main__":
    sys.exit(main())
