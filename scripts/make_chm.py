#!/usr/bin/env python3
"""Compiles the help file dorvex.chm with Free Pascal's chmcmd.

    make_chm.py [--chmcmd PROGRAM] HELP_DIR PICTURE OUT_CHM

Copies the pages of HELP_DIR and the screenshot PICTURE (as main-window.png) into a staging
folder beside OUT_CHM, compiles the project file dorvex.hhp there, and writes OUT_CHM with its
two build timestamps set to zero, so the same sources always give the same bytes.
"""

import argparse
import os
import re
import shutil
import struct
import subprocess
import sys

PROJECT = 'dorvex.hhp'
PICTURE_NAME = 'main-window.png'


def project_files(project_path):
    """The names listed in the [FILES] section of the project file."""
    names, in_files = [], False
    with open(project_path, encoding='latin-1') as project:
        for line in project:
            line = line.strip()
            if line.startswith('['):
                in_files = line.upper() == '[FILES]'
            elif in_files and line:
                names.append(line)
    return names


def zero_timestamps(data):
    """chmcmd stamps the build time into the ITSF header (offset 0x10) and into entry 10 of the
    uncompressed #SYSTEM file; neither is used to find anything, so both become zero."""
    if data[:4] != b'ITSF':
        raise ValueError('not a CHM file')
    data = bytearray(data)
    data[0x10:0x14] = b'\0\0\0\0'
    # #SYSTEM starts with its version (3) and, as chmcmd writes it, the timestamp entry
    # (code 10, 4 bytes) followed by the compiler version entry (code 9).
    pattern = re.compile(re.escape(struct.pack('<IHH', 3, 10, 4)) + b'....' +
                         re.escape(struct.pack('<H', 9)), re.DOTALL)
    found = [m.start() for m in pattern.finditer(bytes(data))]
    if len(found) != 1:
        raise ValueError('expected one #SYSTEM timestamp entry, found %d' % len(found))
    stamp = found[0] + 8
    data[stamp:stamp + 4] = b'\0\0\0\0'
    return bytes(data)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--chmcmd', default='chmcmd')
    parser.add_argument('help_dir')
    parser.add_argument('picture')
    parser.add_argument('out_chm')
    args = parser.parse_args()

    out_chm = os.path.abspath(args.out_chm)
    stage = out_chm + '.stage'
    shutil.rmtree(stage, ignore_errors=True)
    os.makedirs(stage)
    for name in sorted(os.listdir(args.help_dir)):
        source = os.path.join(args.help_dir, name)
        if os.path.isfile(source):
            shutil.copyfile(source, os.path.join(stage, name))
    shutil.copyfile(args.picture, os.path.join(stage, PICTURE_NAME))

    missing = [n for n in project_files(os.path.join(stage, PROJECT))
               if not os.path.isfile(os.path.join(stage, n))]
    if missing:
        sys.exit('make_chm: files named in %s are missing: %s' % (PROJECT, ', '.join(missing)))

    result = subprocess.run([args.chmcmd, '--verbosity', '1', PROJECT], cwd=stage,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    # chmcmd reports broken links and unknown files as warnings or errors but still exits 0.
    problems = [line for line in result.stdout.splitlines()
                if re.match(r'\s*(warning|error|hint)\b', line, re.IGNORECASE)]
    built = os.path.join(stage, 'dorvex.chm')
    if result.returncode != 0 or problems or not os.path.isfile(built):
        sys.stderr.write(result.stdout)
        sys.exit('make_chm: chmcmd failed on %s' % PROJECT)

    with open(built, 'rb') as chm:
        data = zero_timestamps(chm.read())
    partial = out_chm + '.part'
    with open(partial, 'wb') as chm:
        chm.write(data)
    os.replace(partial, out_chm)
    shutil.rmtree(stage)


if __name__ == '__main__':
    main()
