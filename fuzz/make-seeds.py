#!/usr/bin/env python3
"""Writes the small seed inputs under fuzz/corpus/ for the pack, lights, console,
script and tunnel readers, and the 3DS seeds from the real test files.

Usage: fuzz/make-seeds.py [testdata-dir]   (default tests/data in the tree)
"""
import os
import shutil
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
TESTDATA = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "tests", "data")
MAX_3DS_SEED = 16 * 1024


def out(target, name, data):
    d = os.path.join(HERE, "corpus", target)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, name), "wb") as f:
        f.write(data)


def pack(entries):
    """Directory of (name, data) records and the terminator, then the data."""
    directory, blob = b"", b""
    for name, data in entries:
        start, end = len(blob), len(blob) + len(data) - 1
        directory += struct.pack("<II", start, end & 0xFFFFFFFF) + name.encode().ljust(256, b"\0")
        blob += data
    directory += struct.pack("<II", 0xFFFFFFFF, 0) + b"\0" * 256
    return directory + blob


def small_3ds_files():
    d = os.path.join(TESTDATA, "3ds", "assimp")
    if not os.path.isdir(d):
        return []
    names = sorted(n for n in os.listdir(d) if n.lower().endswith(".3ds"))
    return [(n, open(os.path.join(d, n), "rb").read()) for n in names
            if os.path.getsize(os.path.join(d, n)) <= MAX_3DS_SEED]


def main():
    files = small_3ds_files()
    for name, data in files:
        out("load3ds_fuzz", name, data)
    tga = open(os.path.join(HERE, "corpus", "tga_fuzz", "raw24.tga"), "rb").read()
    for name, data in files[:3]:
        out("load3ds_pack_fuzz", name + ".pak", pack([("SCENE.3DS", data), ("TEXTURE.TGA", tga)]))

    out("pack_fuzz", "two.pak", pack([("DATA\\A.TXT", b"hello\n"), ("b.bin", bytes(range(64)))]))
    out("pack_fuzz", "empty-entry.pak", pack([("EMPTY", b""), ("LAST", b"x" * 300)]))
    out("pack_fuzz", "only-terminator.pak", pack([]))

    def colours(n, base):
        return b"".join(struct.pack("<4f", base + i * 0.01, 0.5, 0.25, 1.0) for i in range(n))
    out("lights_fuzz", "exact.dat", bytes([3, 8, 12, 0]) + colours(8 + 12 + 8, 0.1))
    out("lights_fuzz", "short.dat", bytes([2, 20, 5, 1]) + colours(3, 0.2))
    out("lights_fuzz", "none.dat", bytes([0, 0, 0, 0]))

    lines = [
        "HELP", "HELP SET", "HELP NOSUCH", "INFO", "MEM", "CLS", "SCENEINFO", "EVARLIST",
        "EFUNCLIST", "SET VAR1 60", "GET VAR1", "GET NULLVAR", "SET NOSUCH 1", "EVAL FF 3",
        "EVAL II 300", "EVAL IV", "DIR *.*", "DIR ./*.TXT", "GAMMA 0.75", "FOV 90", "FOV 500",
        "ACTIVETLIST 0", "ACTIVEPLIST 1", "ACTIVECAMERA -1", "LOAD3DS scene.3ds . /s /r",
        "RELOAD3DS", "CLEAR3DS", "EXECSCRIPT script.txt", "EXIT", "nosuch command", "",
    ]
    out("console_fuzz", "all.txt", "\n".join(lines).encode())
    out("console_fuzz", "long.txt", ("SET " + "V" * 300 + " 1\nHELP " + "X" * 250).encode())

    out("script_fuzz", "script.txt", b"; comment\r\n#HELP\r\n# SET VAR1 2\r\n#GET VAR1\r\n"
        b"#EVAL FV\r\nplain text\r\n<EOF>\r\n#EXIT\r\n")
    out("script_fuzz", "nested.txt", b"#EXECSCRIPT script.txt\n#INFO\n")
    out("script_fuzz", "long-line.txt", b"#" + b"H" * 400 + b"\n#" + b" " * 10 + b"CLS\n")

    ramp = bytes((i * 7) & 0xFF for i in range(2048))
    out("tunnel_fuzz", "short.raw", ramp)
    out("tunnel_fuzz", "empty.raw", b"")


if __name__ == "__main__":
    main()
