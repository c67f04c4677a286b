#!/usr/bin/python3
"""Packs a folder into a ZIP that is the same bytes wherever it is made.

    reproducible_zip.py ARCHIVE.zip FOLDER TOP

Every entry lies under TOP/ in the archive. The entries are sorted by name
and carry no owner, no extra fields and one time: SOURCE_DATE_EPOCH (the
commit's time; ZIP cannot hold a time before 1980). Files are 0644, or 0755
when executable here; folders are 0755. Links are refused: a ZIP unpacked
on Windows cannot hold them.
"""

import os
import stat
import sys
import time
import zipfile


def entries(folder):
    """(name inside FOLDER with '/' separators, path) for every folder and file, sorted."""
    found = []
    for parent, folders, files in os.walk(folder):
        for name in folders + files:
            path = os.path.join(parent, name)
            if os.path.islink(path):
                raise SystemExit(f"{path} is a symbolic link")
            found.append((os.path.relpath(path, folder).replace(os.sep, "/"), path))
    return sorted(found)


def main():
    if len(sys.argv) != 4:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    archive, folder, top = sys.argv[1:]
    if not os.path.isdir(folder):
        print(f"no folder {folder}", file=sys.stderr)
        return 1
    epoch = int(os.environ.get("SOURCE_DATE_EPOCH", "0"))
    stamp = time.gmtime(max(epoch, 315532800))[:6]  # 1980-01-01, the earliest a ZIP holds

    def info(name, mode):
        entry = zipfile.ZipInfo(f"{top}/{name}", stamp)
        entry.create_system = 3  # Unix: the permissions below are read by unzip
        entry.external_attr = mode << 16
        if stat.S_ISDIR(mode):
            entry.external_attr |= 0x10  # and the MS-DOS folder flag, read by Windows
        return entry

    with zipfile.ZipFile(archive, "w") as out:
        out.writestr(info("", stat.S_IFDIR | 0o755), b"")
        for name, path in entries(folder):
            if os.path.isdir(path):
                out.writestr(info(name + "/", stat.S_IFDIR | 0o755), b"")
                continue
            executable = os.stat(path).st_mode & stat.S_IXUSR
            entry = info(name, stat.S_IFREG | (0o755 if executable else 0o644))
            entry.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as f:
                out.writestr(entry, f.read(), compresslevel=9)
    return 0


if __name__ == "__main__":
    sys.exit(main())
