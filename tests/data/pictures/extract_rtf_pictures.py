#!/usr/bin/env python3
"""Extracts the pictures embedded in an RTF document (\\pict groups written
as hex) into separate files, to serve as picture test data.

Usage: extract_rtf_pictures.py document.rtf out_dir [prefix] [--only N,M,...]

Each picture is written as <prefix><n>.<ext> with ext wmf (\\wmetafile,
no placeable header), emf (\\emfblip), png, jpg or dib, and a line
"<file> picw pich picwgoal pichgoal" is printed for it."""
import os
import re
import sys

KINDS = {b'wmetafile': 'wmf', b'emfblip': 'emf', b'pngblip': 'png',
         b'jpegblip': 'jpg', b'dibitmap': 'dib'}


def pictures(rtf):
    pos = 0
    while True:
        start = rtf.find(b'\\pict', pos)
        if start < 0:
            return
        # walk to the end of the group that holds \pict
        depth, i = 1, start
        while i < len(rtf) and depth:
            c = rtf[i:i + 1]
            if c == b'\\':
                i += 2
                continue
            if c == b'{':
                depth += 1
            elif c == b'}':
                depth -= 1
            i += 1
        body = rtf[start:i - 1]
        pos = i
        # drop nested groups such as {\*\blipuid ...}
        flat = body
        while True:
            shorter = re.sub(rb'\{[^{}]*\}', b' ', flat)
            if shorter == flat:
                break
            flat = shorter
        words = dict()
        kind = None
        for m in re.finditer(rb'\\([a-z]+)(-?\d+)?', flat):
            name, num = m.group(1), m.group(2)
            if name in KINDS:
                kind = KINDS[name]
            if num is not None:
                words[name] = int(num)
        hexdata = re.sub(rb'\\[a-z]+-?\d* ?', b'', flat)
        hexdata = re.sub(rb'[^0-9a-fA-F]', b'', hexdata)
        if kind and hexdata:
            yield kind, words, bytes.fromhex(hexdata[: len(hexdata) // 2 * 2].decode())


def main():
    args = [a for a in sys.argv[1:] if not a.startswith('--only')]
    only = None
    for a in sys.argv[1:]:
        if a.startswith('--only'):
            only = {int(x) for x in a.split('=', 1)[1].split(',')}
    src, out = args[0], args[1]
    prefix = args[2] if len(args) > 2 else os.path.splitext(os.path.basename(src))[0] + '-'
    os.makedirs(out, exist_ok=True)
    with open(src, 'rb') as f:
        rtf = f.read()
    for n, (kind, words, data) in enumerate(pictures(rtf)):
        if only is not None and n not in only:
            continue
        name = f'{prefix}{n}.{kind}'
        with open(os.path.join(out, name), 'wb') as f:
            f.write(data)
        print(name, len(data), words.get(b'picw', 0), words.get(b'pich', 0),
              words.get(b'picwgoal', 0), words.get(b'pichgoal', 0))


if __name__ == '__main__':
    main()
