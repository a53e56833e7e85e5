#!/usr/bin/env python3
# reproducible_zip.py FOLDER ZIP TOP -- writes FOLDER's files into ZIP under the folder TOP,
# so that the same files give the same bytes: sorted names, the last commit's date
# (SOURCE_DATE_EPOCH) on every entry, no owners or Unix modes. A zip inside FOLDER is left out.
import os
import sys
import time
import zipfile

EARLIEST_ZIP_DATE = 315532800  # 1980-01-01, the first date a zip entry can hold


def write_zip(folder, path, top):
    if os.path.exists(path):
        os.remove(path)
    epoch = max(int(os.environ.get("SOURCE_DATE_EPOCH", EARLIEST_ZIP_DATE)), EARLIEST_ZIP_DATE)
    date = time.gmtime(epoch)[:6]
    names = []
    for parent, _, files in os.walk(folder):
        names += [os.path.relpath(os.path.join(parent, name), folder) for name in files]
    with zipfile.ZipFile(path, "w") as archive:
        for name in sorted(names, key=lambda name: name.replace(os.sep, "/")):
            entry = zipfile.ZipInfo(top + "/" + name.replace(os.sep, "/"), date)
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.create_system = 0  # made "on" MS-DOS/Windows: unpacked with the reader's own modes
            entry.external_attr = 0x20  # the archive attribute, nothing else
            with open(os.path.join(folder, name), "rb") as data:
                archive.writestr(entry, data.read(), compresslevel=9)


if __name__ == "__main__":
    write_zip(*sys.argv[1:4])
