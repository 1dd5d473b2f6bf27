"""The game's icon: the horned boss's golden eye on a night-sky tile.

Unlike the sprites, the icon is smooth: every size is drawn anew from the same
shapes on a canvas eight times bigger and reduced with a Lanczos filter, so the
small sizes stay sharp instead of being shrunk from the big one. The .ico for
the Windows executable is written by hand (uncompressed 32-bit bitmaps for the
small sizes, PNG for 256 px), the layout every Windows version reads.
"""

import io
import math
import struct

import numpy as np
from PIL import Image, ImageDraw

from common import ROOT, GOLD, CRIMSON, OUTLINE, ensure_dir, save_png
import os

SIZES = (16, 32, 48, 128, 256)
ICO_SIZES = (16, 32, 48, 256)
SUPERSAMPLE = 8

SKY_TOP = (58, 44, 104)
SKY_BOTTOM = (16, 12, 30)
RIM = (124, 104, 176)
HORN_TIP = (250, 236, 210)
HORN_BASE = (150, 120, 104)


def _vertical_gradient(size, top, bottom):
    t = np.linspace(0.0, 1.0, size)[:, None, None]
    rows = np.array(top, float) * (1 - t) + np.array(bottom, float) * t
    rgb = np.repeat(rows, size, axis=1)
    alpha = np.full((size, size, 1), 255.0)
    return Image.fromarray(np.concatenate([rgb, alpha], axis=2).round().astype(np.uint8), "RGBA")


def _radial(size, centre, radius, inner, outer, alpha_inner=255, alpha_outer=255):
    """A disc-shaped gradient as an RGBA image; outside the radius alpha_outer holds."""
    y, x = np.mgrid[0:size, 0:size].astype(float) + 0.5
    d = np.clip(np.hypot(x - centre[0], y - centre[1]) / radius, 0.0, 1.0)[..., None]
    rgb = np.array(inner, float) * (1 - d) + np.array(outer, float) * d
    a = alpha_inner * (1 - d) + alpha_outer * d
    return Image.fromarray(np.concatenate([rgb, a], axis=2).round().astype(np.uint8), "RGBA")


def _horn(side, s):
    """One curved horn as a polygon: a crescent from the eye's shoulder to a tip."""
    base_outer, base_inner, tip = (0.20, 0.50), (0.34, 0.36), (0.14, 0.06)
    outer, inner = [], []
    for i in range(13):
        t = i / 12
        # quadratic curves bowing outwards, the inner edge thinner near the tip
        ox = (1 - t) ** 2 * base_outer[0] + 2 * (1 - t) * t * 0.02 + t * t * tip[0]
        oy = (1 - t) ** 2 * base_outer[1] + 2 * (1 - t) * t * 0.26 + t * t * tip[1]
        ix = (1 - t) ** 2 * base_inner[0] + 2 * (1 - t) * t * 0.20 + t * t * tip[0]
        iy = (1 - t) ** 2 * base_inner[1] + 2 * (1 - t) * t * 0.22 + t * t * tip[1]
        outer.append((ox, oy))
        inner.append((ix, iy))
    pts = outer + inner[::-1]
    if side > 0:
        pts = [(1 - x, y) for x, y in pts]
    return [(x * s, y * s) for x, y in pts]


def _horn_layer(s):
    """Both horns, shaded from a dark base to a pale tip."""
    mask = Image.new("L", (s, s), 0)
    draw = ImageDraw.Draw(mask)
    for side in (-1, 1):
        draw.polygon(_horn(side, s), fill=255)
    t = np.clip((np.linspace(0.0, 1.0, s) - 0.06) / 0.44, 0.0, 1.0)[:, None, None]
    rows = np.array(HORN_TIP, float) * (1 - t) + np.array(HORN_BASE, float) * t
    rgb = np.repeat(rows, s, axis=1)
    layer = Image.fromarray(np.concatenate([rgb, np.full((s, s, 1), 255.0)], axis=2)
                            .round().astype(np.uint8), "RGBA")
    layer.putalpha(mask)
    return layer, mask


def draw(size):
    """The icon at size x size pixels."""
    s = size * SUPERSAMPLE
    inset, radius = 0.03 * s, 0.21 * s
    box = [inset, inset, s - inset - 1, s - inset - 1]

    tile_mask = Image.new("L", (s, s), 0)
    ImageDraw.Draw(tile_mask).rounded_rectangle(box, radius=radius, fill=255)
    art = _vertical_gradient(s, SKY_TOP, SKY_BOTTOM)

    # A crimson glow behind the eye, the colour of the boss's wings.
    eye_centre, eye_radius = (0.5 * s, 0.58 * s), 0.27 * s
    glow = _radial(s, eye_centre, 0.46 * s, CRIMSON[1], CRIMSON[3], 200, 0)
    art.alpha_composite(glow)

    # Horns with a dark outline, drawn below the eye.
    horns, horn_mask = _horn_layer(s)
    outline = Image.new("RGBA", (s, s), OUTLINE)
    grown = horn_mask.filter(_max_filter(s))
    outline.putalpha(grown)
    art.alpha_composite(outline)
    art.alpha_composite(horns)

    # The eye: dark rim, golden iris lit from the upper left, slit pupil, highlight.
    d = ImageDraw.Draw(art)
    ex, ey = eye_centre
    rim = eye_radius + 0.045 * s
    d.ellipse([ex - rim, ey - rim, ex + rim, ey + rim], fill=OUTLINE)
    iris = _radial(s, (ex - 0.08 * s, ey - 0.09 * s), eye_radius * 1.5, GOLD[0], GOLD[2])
    iris_mask = Image.new("L", (s, s), 0)
    ImageDraw.Draw(iris_mask).ellipse([ex - eye_radius, ey - eye_radius,
                                       ex + eye_radius, ey + eye_radius], fill=255)
    art.paste(iris, (0, 0), iris_mask)
    slit_w, slit_h = 0.055 * s, 0.21 * s
    d.ellipse([ex - slit_w, ey - slit_h, ex + slit_w, ey + slit_h], fill=OUTLINE)
    hl = 0.05 * s
    hx, hy = ex - 0.12 * s, ey - 0.12 * s
    d.ellipse([hx - hl, hy - hl, hx + hl, hy + hl], fill=(255, 252, 236, 235))

    # A thin light rim on the tile's edge, where the sizes allow it.
    if size >= 32:
        ring = Image.new("L", (s, s), 0)
        rd = ImageDraw.Draw(ring)
        rd.rounded_rectangle(box, radius=radius, fill=255)
        edge = max(1, round(s * 0.012))
        rd.rounded_rectangle([b + (edge if i < 2 else -edge) for i, b in enumerate(box)],
                             radius=radius - edge, fill=0)
        rim_layer = Image.new("RGBA", (s, s), RIM + (255,))
        rim_layer.putalpha(ring)
        art.alpha_composite(rim_layer)

    art.putalpha(Image.fromarray(np.minimum(np.asarray(art)[..., 3],
                                            np.asarray(tile_mask)).astype(np.uint8), "L"))
    return art.resize((size, size), Image.LANCZOS)


def _max_filter(s):
    from PIL import ImageFilter
    width = max(3, int(round(0.028 * s)) | 1)
    return ImageFilter.MaxFilter(width)


def _bmp_entry(img):
    """An icon image as Windows stores it: a 40-byte header whose height counts the colour
    image and its mask, BGRA rows bottom-up, then the 1-bit transparency mask."""
    w, h = img.size
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, w * h * 4, 0, 0, 0, 0)
    pixels = np.asarray(img.convert("RGBA"))[::-1]
    bgra = pixels[..., [2, 1, 0, 3]].tobytes()
    row_bytes = ((w + 31) // 32) * 4
    mask = bytearray()
    for row in pixels:
        bits = np.packbits(row[:, 3] == 0).tobytes()
        mask += bits + b"\0" * (row_bytes - len(bits))
    return header + bgra + bytes(mask)


def _png_bytes(img):
    out = io.BytesIO()
    img.save(out, "PNG", optimize=True)
    return out.getvalue()


def write_ico(images, rel):
    """An .ico holding each image of {size: image}; 256 px as PNG, the rest as bitmaps."""
    entries = [(size, _png_bytes(images[size]) if size >= 256 else _bmp_entry(images[size]))
               for size in ICO_SIZES]
    out = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    for size, data in entries:
        dim = 0 if size >= 256 else size   # 0 stands for 256
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in entries:
        out += data
    path = os.path.join(ROOT, rel)
    ensure_dir(path)
    with open(path, "wb") as fh:
        fh.write(out)
    return path


def make_all():
    """Writes data/icon/duelfall-<size>.png for every size and data/icon/duelfall.ico."""
    images = {size: draw(size) for size in SIZES}
    for size, img in images.items():
        save_png(img, "data/icon/duelfall-%d.png" % size)
    write_ico(images, "data/icon/duelfall.ico")
    return images


if __name__ == "__main__":
    make_all()
    print("icons written under", os.path.join(ROOT, "data", "icon"))
