#!/usr/bin/env python3
"""Writes a seeded random tree of awkward names for the md5sum interoperability test.

    make_tree.py ROOT WINDOWS_ROOT_LENGTH SEED

Names have blanks inside and at both ends, leading dots and dashes, '&', '#', '%', '!', letters
of several scripts (accented Latin, Cyrillic, Greek, CJK, Arabic, emoji outside the Basic
Multilingual Plane, a combining mark; lower case only, as Windows finds names whatever their
case), deep nesting, empty files, files of exactly 32768 and 32769 bytes, and one file whose full
Windows path is exactly 259 characters (the longest the program accepts). Lengths count UTF-16
units, as Windows does. Prints the number of files.
"""
import os
import random
import sys

AWKWARD = ["&", "#", "%", "!", " ", "-", ".", "(", ")", "'", "+", ",", ";", "=", "@", "[", "]",
           "{", "}", "~", "^", "_"]


SCRIPTS = ["é", "ü", "ß", "ø", "ж", "щ", "я", "λ", "ω", "日", "本", "語", "漢", "ع", "ر",
           "😀", "🎉", "e\u0301"]

RESERVED = {"con", "prn", "aux", "nul"} | {f"com{i}" for i in range(10)} | {f"lpt{i}" for i in range(10)}


def is_device_name(name):
    """Windows keeps these names for devices, whatever follows a dot."""
    return name.split(".")[0].strip(" ").lower() in RESERVED


def awkward_name(rng):
    while True:
        name = random_name(rng)
        if not is_device_name(name):
            return name


def random_name(rng):
    alphabet = list("abcdefghijklmnopqrstuvwxyz0123456789") + AWKWARD + SCRIPTS
    body = "".join(rng.choice(alphabet) for _ in range(rng.randint(3, 18)))
    shape = rng.randint(0, 5)
    if shape == 0:
        body = " " + body + " "  # blanks at both ends
    elif shape == 1:
        body = "." + body
    elif shape == 2:
        body = "-" + body
    elif shape == 3:
        body = body + "."
    return body.replace("/", "_").replace("\\", "_")


def units(text):
    """The length Windows counts: UTF-16 units."""
    return len(text.encode("utf-16-le")) // 2


def content(rng, index):
    sizes = [0, 1, 511, 1535, 32767, 32768, 32769, 65536, rng.randint(2, 9000)]
    size = sizes[index % len(sizes)]
    return bytes(rng.getrandbits(8) for _ in range(size))


def write(path, data):
    with open(path, "wb") as out:
        out.write(data)


def main():
    root, windows_root_length, seed = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    rng = random.Random(seed)
    files = 0
    folders = [""]
    for depth in range(6):  # a chain of nested folders, each holding a few files
        folder = os.path.join(folders[-1], awkward_name(rng))
        os.makedirs(os.path.join(root, folder), exist_ok=True)
        folders.append(folder)
    for index in range(48):
        folder = rng.choice(folders)
        name = awkward_name(rng)
        path = os.path.join(root, folder, name)
        if windows_root_length + 1 + units(os.path.join(folder, name)) > 240 or os.path.exists(path):
            continue
        write(path, content(rng, index))
        files += 1
    # The longest path that still fits: 259 characters in Windows terms.
    room = 259 - windows_root_length - 1
    if room > 2:
        write(os.path.join(root, "L" * (room - 1) + " "), b"longest")
        files += 1
    print(files)


if __name__ == "__main__":
    main()
