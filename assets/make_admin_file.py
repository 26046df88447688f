#!/usr/bin/env python3
"""Writes the administrator password file "admin.sec" into the program folder: 5012 bytes,
zeros but for the 12-byte record at offset 5000, which holds 12 spaces (no password set).
Only its owner may read or write it."""

import os
import sys

RECORD_OFFSET = 5000
RECORD = b" " * 12


def main(folder):
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, "admin.sec")
    data = bytes(RECORD_OFFSET) + RECORD
    fd = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o600)
    with os.fdopen(fd, "wb") as f:
        f.write(data)
    os.chmod(path, 0o600)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
