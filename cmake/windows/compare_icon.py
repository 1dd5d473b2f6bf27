#!/usr/bin/python3
"""Reads a window's _NET_WM_ICON (the output of `xprop -notype 32c _NET_WM_ICON`), saves its picture
of the reference's size as a PNG and exits 0 when it matches the reference picture.

    compare_icon.py ICON.xprop REFERENCE.png OUT.png
"""

import re
import sys

import numpy as np
from PIL import Image


def icons(text):
    """Every picture in the property: width, height, then width x height ARGB words."""
    values = [int(v) for v in re.findall(r"\d+", text.split("=", 1)[1])] if "=" in text else []
    out = []
    while len(values) >= 2:
        w, h = values[0], values[1]
        words = np.array(values[2:2 + w * h], dtype=np.uint32)
        values = values[2 + w * h:]
        if w <= 0 or h <= 0 or len(words) != w * h:
            break
        argb = np.stack([(words >> 16) & 255, (words >> 8) & 255, words & 255, words >> 24], axis=-1)
        out.append(Image.fromarray(argb.reshape(h, w, 4).astype(np.uint8), "RGBA"))
    return out


def main(xprop_path, reference_path, out_path):
    reference = Image.open(reference_path).convert("RGBA")
    with open(xprop_path, encoding="utf-8", errors="replace") as fh:
        found = [i for i in icons(fh.read()) if i.size == reference.size]
    if not found:
        print("no %dx%d icon on the window" % reference.size, file=sys.stderr)
        return 1
    found[0].save(out_path)
    a = np.asarray(found[0]).astype(int)
    b = np.asarray(reference).astype(int)
    # Colours count only where the pixel is visible; Windows may round alpha edges slightly.
    visible = (b[..., 3] > 0)[..., None]
    difference = np.abs(a - b) * np.concatenate([np.repeat(visible, 3, axis=2), np.ones_like(visible)], axis=2)
    worst = int(difference.max())
    print("window icon %dx%d, largest channel difference from %s: %d" % (reference.size + (reference_path, worst)))
    return 0 if worst <= 8 else 1


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))
