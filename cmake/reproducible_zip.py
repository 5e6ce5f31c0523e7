"""Rewrites a zip so that it depends only on its files' names and bytes.

Usage: reproducible_zip.py ZIP EPOCH

Entries in name order, every one dated EPOCH (seconds since 1970, UTC; a zip cannot
hold a date before 1980), plain read-write permissions, no extra fields (access and
change times, owner), compressed at the highest level.
"""
import os
import sys
import time
import zipfile

EARLIEST = 315532800  # 1980-01-01, the first date a zip entry can hold


def main(path, epoch):
    stamp = time.gmtime(max(int(epoch), EARLIEST))[:6]
    with zipfile.ZipFile(path) as old:
        entries = sorted((info.filename, old.read(info)) for info in old.infolist() if not info.is_dir())
    temporary = path + ".tmp"
    with zipfile.ZipFile(temporary, "w") as new:
        for name, data in entries:
            info = zipfile.ZipInfo(name, stamp)
            info.create_system = 3  # Unix, so that the permissions below are read
            info.external_attr = 0o100644 << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            new.writestr(info, data, compresslevel=9)
    os.replace(temporary, path)


if __name__ == "__main__":
    if len(sys.argv) != 3 or not sys.argv[2].isdigit():
        sys.exit("usage: reproducible_zip.py ZIP EPOCH")
    main(sys.argv[1], sys.argv[2])
