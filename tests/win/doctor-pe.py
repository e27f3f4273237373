#!/usr/bin/env python3
"""Writes a copy of a PE file with one header field changed, for the size
check's failing rows: doctor-pe.py IN OUT CHANGE, where CHANGE is one of
  relocs-stripped   marks the relocations as stripped
  reloc-empty       empties the relocation directory
  dir=N             gives data directory N (hex) an address and a size
  console           makes the subsystem the console one
  entry+1           moves the entry point one byte on
  no-tsaware        drops the terminal-server-aware flag
  seh               drops the flag that says no exception handler is registered
  none              changes nothing"""
import struct
import sys


def main(source, target, change):
    data = bytearray(open(source, "rb").read())
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    coff = pe + 4
    optional = coff + 20
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + (96 if magic == 0x10B else 112)

    def update(offset, form, function):
        struct.pack_into(form, data, offset, function(struct.unpack_from(form, data, offset)[0]))

    if change == "relocs-stripped":
        update(coff + 18, "<H", lambda v: v | 0x0001)
    elif change == "reloc-empty":
        struct.pack_into("<II", data, directories + 5 * 8, 0, 0)
    elif change.startswith("dir="):
        struct.pack_into("<II", data, directories + int(change[4:], 16) * 8, 0x1000, 0x40)
    elif change == "console":
        struct.pack_into("<H", data, optional + 68, 3)
    elif change == "entry+1":
        update(optional + 16, "<I", lambda v: v + 1)
    elif change == "no-tsaware":
        update(optional + 70, "<H", lambda v: v & ~0x8000)
    elif change == "seh":
        update(optional + 70, "<H", lambda v: v & ~0x0400)
    elif change != "none":
        sys.exit("unknown change: " + change)
    open(target, "wb").write(data)


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    main(*sys.argv[1:])
