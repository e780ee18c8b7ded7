#!/usr/bin/env python3
"""Point a PE32+ image's load-configuration data directory at its
_load_config_used structure, which GNU ld (up to 2.42 at least) places but
does not enter in the header. The structure's address comes from the link
map; its first field gives the directory's size.

Usage: set_load_config.py IMAGE.exe LINK.map"""
import re
import struct
import sys

LOAD_CONFIG_ENTRY = 10


def symbol_address(map_text, name):
    match = re.search(r"^\s+0x([0-9a-fA-F]+)\s+" + re.escape(name) + r"\s*$", map_text, re.M)
    if not match:
        sys.exit(f"{name} is not in the link map")
    return int(match.group(1), 16)


def file_offset(image, pe, rva):
    sections, optional_size = struct.unpack_from("<H12xH", image, pe + 6)
    table = pe + 24 + optional_size
    for i in range(sections):
        size, address, raw_size, raw_offset = struct.unpack_from("<IIII", image, table + 40 * i + 8)
        if address <= rva < address + max(size, raw_size):
            return raw_offset + rva - address
    sys.exit(f"no section holds RVA {rva:#x}")


def main(exe, link_map):
    with open(link_map, encoding="utf-8", errors="replace") as f:
        address = symbol_address(f.read(), "_load_config_used")
    with open(exe, "rb") as f:
        image = bytearray(f.read())
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    optional = pe + 24
    if image[pe:pe + 4] != b"PE\0\0" or struct.unpack_from("<H", image, optional)[0] != 0x20B:
        sys.exit(f"{exe} is not a PE32+ image")
    image_base = struct.unpack_from("<Q", image, optional + 24)[0]
    rva = address - image_base
    size = struct.unpack_from("<I", image, file_offset(image, pe, rva))[0]
    struct.pack_into("<II", image, optional + 112 + 8 * LOAD_CONFIG_ENTRY, rva, size)
    # The checksum, where the linker wrote one, covers the header just changed.
    checksum_at = optional + 64
    if struct.unpack_from("<I", image, checksum_at)[0] != 0:
        struct.pack_into("<I", image, checksum_at, 0)
        total = 0
        for (word,) in struct.iter_unpack("<H", image + b"\0" * (len(image) % 2)):
            total = (total + word) & 0xFFFFFFFF
            total = (total & 0xFFFF) + (total >> 16)
        struct.pack_into("<I", image, checksum_at, ((total & 0xFFFF) + (total >> 16)) + len(image))
    with open(exe, "wb") as f:
        f.write(image)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(*sys.argv[1:])
