#!/usr/bin/python3
"""Prints a Windows shortcut's target path and start folder, one a line.

    shortcut.py FILE.lnk

Reads the file as the shell link format lays it out: a 76-byte header with
the flags, the optional item list, the link information (which holds the
local target path) and the optional counted strings, the start folder among
them.
"""
import struct
import sys

HAS_ID_LIST, HAS_LINK_INFO, IS_UNICODE = 0x1, 0x2, 0x80
# The counted strings, in the order they are stored, each with its flag.
STRINGS = [("name", 0x4), ("relative", 0x8), ("folder", 0x10), ("arguments", 0x20),
           ("icon", 0x40)]


def c_string(data, at, wide):
    if wide:
        end = at
        while data[end:end + 2] != b"\0\0":
            end += 2
        return data[at:end].decode("utf-16-le")
    return data[at:data.index(b"\0", at)].decode("latin-1")


def read(data):
    flags = struct.unpack_from("<I", data, 20)[0]
    at, target, strings = 76, "", {}
    if flags & HAS_ID_LIST:
        at += 2 + struct.unpack_from("<H", data, at)[0]
    if flags & HAS_LINK_INFO:
        size, header, _, _, local = struct.unpack_from("<5I", data, at)
        if header >= 0x24:
            target = c_string(data, at + struct.unpack_from("<I", data, at + 28)[0], True)
        else:
            target = c_string(data, at + local, False)
        at += size
    wide = bool(flags & IS_UNICODE)
    for name, flag in STRINGS:
        if flags & flag:
            count = struct.unpack_from("<H", data, at)[0]
            width = 2 if wide else 1
            raw = data[at + 2:at + 2 + count * width]
            strings[name] = raw.decode("utf-16-le" if wide else "latin-1")
            at += 2 + count * width
    return target, strings.get("folder", "").rstrip("\0")


if __name__ == "__main__":
    with open(sys.argv[1], "rb") as f:
        print("\n".join(read(f.read())))
