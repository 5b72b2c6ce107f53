#!/usr/bin/env python3
"""Writes the benchmark's data sets under the given folder.

large/: four files in nested folders, 1 GiB together.
small/: 20,000 files of 1 to 8 KiB, 100 per folder in 4 x 5 x 10 nested folders: small/a0
        alone holds 5,000 of them, small/a0/d0 1,000.
scale/: with the argument "scale", only this: 100,000 files of 1 to 8 KiB, 100 per folder;
        scale/p0 holds 50,000 of them, scale/p0/s0 10,000.
Contents are random bytes; sizes come from a fixed seed, so every run reads the same amount.
"""
import os
import random
import sys

MIB = 1 << 20


def write_random(path, size):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        left = size
        while left:
            piece = min(left, 16 * MIB)
            out.write(os.urandom(piece))
            left -= piece


def write_small_files(folder, sizes):
    os.makedirs(folder)
    for f in range(100):
        with open(os.path.join(folder, "f%02d.bin" % f), "wb") as out:
            out.write(os.urandom(sizes.randint(1024, 8192)))


def write_scale(root):
    sizes = random.Random(100000)
    for p in range(2):
        for s in range(5):
            for e in range(100):
                write_small_files(os.path.join(root, "scale", "p%d" % p, "s%d" % s, "e%02d" % e), sizes)


def main():
    root = sys.argv[1]
    if sys.argv[2:] == ["scale"]:
        write_scale(root)
        return
    large = os.path.join(root, "large")
    for relative, mib in (("a.bin", 512), ("b/c.bin", 256), ("b/d/e.bin", 128), ("f/g.bin", 128)):
        write_random(os.path.join(large, relative), mib * MIB)
    sizes = random.Random(20000)
    for a in range(4):
        for d in range(5):
            for e in range(10):
                write_small_files(os.path.join(root, "small", "a%d" % a, "d%d" % d, "e%d" % e), sizes)


if __name__ == "__main__":
    main()
